#!/usr/bin/env bash
# The demo: installs what is needed, builds, makes a demo data drive and a monitored folder in
# ~/teskvado-demo (or $TV_DEMO_DIR), starts a simulated Ruxo that drops a coupon file every few
# seconds, and starts TeskVado on them with monitoring switched on, so the coupons are imported
# as they arrive. Without a display the headless integrator does the same in the terminal.
# Ctrl+C (or closing the window) ends the demo and stops the simulated Ruxo.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
"$raiz/scripts/dependencias.sh"
"$raiz/scripts/compilar.sh"
bin=${TV_BUILD_DIR:-$raiz/build}/bin

demo=${TV_DEMO_DIR:-$HOME/teskvado-demo}
dados=$demo/dados
monitorada=$demo/ruxo/
ini=$demo/teskvado.ini
mkdir -p "$dados" "$monitorada"

echo "Unidade de dados de demonstração em $dados"
"$bin/teskvado-cli" --dados "$dados" erp criar
"$bin/teskvado-cli" --dados "$dados" erp demo

# Company 0001, user 0001 and ECF 01 of the demo drive, picked by their codes; a coupon file
# is looked for every two seconds from the start.
printf '[PARAMETROS]\r\nINTERVALO=2000\r\nAUTOMATICO=-1\r\nMONITORAR=%s\r\nEMPRESA=0001\r\nUSUARIO=0001\r\nECF=01\r\n' \
  "$monitorada" > "$ini"

"$bin/ruxo-sim" --dir "$monitorada" demo --intervalo "${TV_DEMO_INTERVALO:-5}" &
sim=$!
para_sim() {
  kill "$sim" 2>/dev/null || true
  wait "$sim" 2>/dev/null || true
}
trap para_sim EXIT

echo "Ruxo simulado gravando cupons em ${monitorada}ONLINE (pid $sim)"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ]; then
  "$bin/teskvado" --ini "$ini" "$dados"
else
  echo "Sem área de trabalho gráfica (DISPLAY e WAYLAND_DISPLAY vazias): a janela do TeskVado não"
  echo "pode abrir. Rodando o integrador sem janela, teskvado-cli monitorar; Ctrl+C para parar."
  "$bin/teskvado-cli" --dados "$dados" --ini "$ini" monitorar
fi
