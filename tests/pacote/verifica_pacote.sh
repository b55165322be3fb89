#!/bin/sh
# Builds the Debian package from a build tree, unpacks it into a scratch root and checks what a
# clean system would get: the files and links, the pictures beside the programs, the control
# fields and scripts, the programs running from the unpacked tree, the desktop entry and the unit.
#   verifica_pacote.sh <build dir> <version> <ON|OFF: desktop program built>
# Exit 77 (skipped) where the Debian tools are missing.
set -u

BUILD=$1
VERSAO=$2
DESKTOP=$3

for prog in cpack dpkg-deb dpkg; do
    if ! command -v "$prog" >/dev/null 2>&1; then
        echo "SKIP: $prog not found; the package is built and unpacked with Debian's tools"
        exit 77
    fi
done

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
FALHAS=0
falha() { echo "FALHA: $*"; FALHAS=$((FALHAS + 1)); }

# cpack copies what the build tree holds; this makes sure that is the current source.
if ! cmake --build "$BUILD" --target tv_pacote_programas >"$TMP/build.log" 2>&1; then
    tail -40 "$TMP/build.log"
    echo "FALHA: the packaged programs do not build"
    exit 1
fi
if ! cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$TMP/cpack" >"$TMP/cpack.log" 2>&1; then
    cat "$TMP/cpack.log"
    echo "FALHA: cpack did not build the package"
    exit 1
fi
set -- "$TMP"/cpack/*.deb
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    ls -l "$TMP/cpack"
    echo "FALHA: expected exactly one .deb"
    exit 1
fi
DEB=$1
echo "package: $(basename "$DEB")"

# --- Control fields and scripts ---
campo() { dpkg-deb -f "$DEB" "$1"; }
[ "$(campo Package)" = teskvado ] || falha "Package is '$(campo Package)'"
[ "$(campo Version)" = "$VERSAO" ] || falha "Version is '$(campo Version)', expected $VERSAO"
DEPENDS=$(campo Depends)
echo "Depends: $DEPENDS"
precisa="libqt6core6 libsqlite3-0 adduser"
[ "$DESKTOP" = ON ] && precisa="$precisa libqt6widgets6 libqt6gui6 qt6-qpa-plugins"
for dep in $precisa; do
    echo "$DEPENDS" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx "$dep" || falha "Depends lacks $dep"
done
dpkg-deb -e "$DEB" "$TMP/control"
for script in postinst postrm; do
    if [ ! -x "$TMP/control/$script" ]; then
        falha "control script $script missing or not executable"
    elif ! sh -n "$TMP/control/$script"; then
        falha "control script $script does not parse"
    fi
done

# --- Files ---
RAIZ=$TMP/raiz
dpkg -x "$DEB" "$RAIZ"
PROGS="teskvado-cli ruxo-sim"
[ "$DESKTOP" = ON ] && PROGS="$PROGS teskvado"
for prog in $PROGS; do
    real=$RAIZ/usr/lib/teskvado/$prog
    link=$RAIZ/usr/bin/$prog
    [ -f "$real" ] && [ -x "$real" ] || falha "usr/lib/teskvado/$prog missing or not executable"
    if [ ! -L "$link" ]; then
        falha "usr/bin/$prog is not a link"
    elif [ "$(readlink -f "$link")" != "$(readlink -f "$real")" ]; then
        falha "usr/bin/$prog points to $(readlink "$link")"
    fi
    if command -v ldd >/dev/null 2>&1 && ldd "$real" 2>&1 | grep -q "not found"; then
        falha "$prog needs libraries this system lacks: $(ldd "$real" | grep 'not found' | tr '\n' ' ')"
    fi
done
png() { [ -f "$1" ] && [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ]; }
for img in "Logo.png" "TESK_ Logo.png" "Windows Flag.png"; do
    png "$RAIZ/usr/lib/teskvado/Imagens/$img" || falha "usr/lib/teskvado/Imagens/$img missing or not a PNG"
done
UNIT=$RAIZ/usr/lib/systemd/system/teskvado-monitorar.service
[ -f "$UNIT" ] || falha "systemd unit missing"
[ -f "$RAIZ/usr/share/teskvado/teskvado-monitorar.default" ] || falha "service settings template missing"
[ -f "$RAIZ/usr/share/doc/teskvado/README.md" ] || falha "README missing"
# Nothing may land in /etc or outside /usr behind dpkg's back: postinst writes /etc/default.
fora=$(cd "$RAIZ" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$fora" ] && echo "top level: usr only" || falha "files outside /usr: $fora"

ENTRADA=$RAIZ/usr/share/applications/teskvado.desktop
if [ "$DESKTOP" = ON ]; then
    [ -f "$ENTRADA" ] || falha "desktop entry missing"
    for lado in 16 24 32 48 64 128 256; do
        png "$RAIZ/usr/share/icons/hicolor/${lado}x${lado}/apps/teskvado.png" || falha "icon ${lado}x${lado} missing"
    done
    grep -qx "Icon=teskvado" "$ENTRADA" || falha "desktop entry names another icon"
    grep -qx "Exec=teskvado" "$ENTRADA" || falha "desktop entry starts another program"
else
    # Without the desktop program a menu entry would start nothing.
    [ ! -e "$ENTRADA" ] || falha "desktop entry shipped without the desktop program"
    ENTRADA=$(dirname "$0")/../../packaging/teskvado.desktop
    echo "desktop program not built: validating the source entry $ENTRADA"
fi

# --- The programs run from the unpacked tree ---
saida=$("$RAIZ/usr/bin/teskvado-cli" --version 2>&1)
[ "$saida" = "$VERSAO" ] || falha "teskvado-cli --version printed '$saida', expected $VERSAO"
echo "$VERSAO" | grep -Eqx '[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+' || falha "version $VERSAO is not four numbers"
"$RAIZ/usr/bin/ruxo-sim" --help >/dev/null 2>&1 || falha "ruxo-sim --help failed"
if [ "$DESKTOP" = ON ]; then
    saida=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$RAIZ/usr/bin/teskvado" --version 2>&1)
    [ "$saida" = "$VERSAO" ] || falha "teskvado --version printed '$saida', expected $VERSAO"
    # A server without a display: a message that names the headless program, not a crash.
    saida=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$RAIZ/usr/bin/teskvado" 2>&1 </dev/null)
    rc=$?
    if [ "$rc" -eq 0 ] || [ "$rc" -ge 128 ]; then
        falha "teskvado without a display ended with status $rc"
    fi
    echo "$saida" | grep -q "teskvado-cli monitorar" || falha "teskvado without a display said: $saida"
fi

# --- Desktop entry ---
if command -v desktop-file-validate >/dev/null 2>&1; then
    if saida=$(desktop-file-validate "$ENTRADA" 2>&1) && [ -z "$saida" ]; then
        echo "desktop-file-validate: ok"
    else
        falha "desktop-file-validate: $saida"
    fi
else
    falha "desktop-file-validate not found (Debian's desktop-file-utils)"
fi

# --- systemd unit ---
# verify reports most mistakes as warnings and still exits 0, so any output counts as a failure.
# It resolves ExecStart and the default targets inside --root, so the host's own targets are
# copied beside the unpacked unit.
if command -v systemd-analyze >/dev/null 2>&1 && [ -d /usr/lib/systemd/system ]; then
    cp -rn /usr/lib/systemd/system/. "$RAIZ/usr/lib/systemd/system/" 2>/dev/null
    if saida=$(systemd-analyze verify --root="$RAIZ" "$UNIT" 2>&1) && [ -z "$saida" ]; then
        echo "systemd-analyze verify: ok"
    else
        falha "systemd-analyze verify: $saida"
    fi
else
    echo "SKIP (unit check only): systemd-analyze or /usr/lib/systemd/system not available here"
fi

if [ "$FALHAS" -ne 0 ]; then
    echo "$FALHAS check(s) failed"
    exit 1
fi
echo "package checks passed"
