# Installation layout and the Debian package.
#
# The programs live together in lib/teskvado/ with their Imagens/ folder, because the splash
# looks for its pictures beside the program file; bin/ holds relative links to them. Qt takes the
# program's folder from /proc/self/exe, which names the real file, so a program started through
# its link in /usr/bin still finds /usr/lib/teskvado/Imagens/.

set(TV_PASTA_PROGRAMAS lib/teskvado)
set(TV_PROGRAMAS teskvado teskvado-cli ruxo-sim)
set(TV_IMAGENS "Logo.png" "TESK_ Logo.png" "Windows Flag.png")
set(TV_ICONE_LADOS 16 24 32 48 64 128 256)
set(TV_PACOTE_DIR ${CMAKE_SOURCE_DIR}/packaging)

# --- The pictures beside the programs in the build tree ---------------------------------------
set(_imagens_build)
foreach(img IN LISTS TV_IMAGENS)
  set(destino "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Imagens/${img}")
  add_custom_command(
    OUTPUT "${destino}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Imagens"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different "${CMAKE_SOURCE_DIR}/imagens/${img}" "${destino}"
    DEPENDS "${CMAKE_SOURCE_DIR}/imagens/${img}"
    COMMENT "Imagens/${img} beside the programs"
    VERBATIM)
  list(APPEND _imagens_build "${destino}")
endforeach()
add_custom_target(tv_imagens ALL DEPENDS ${_imagens_build})
# Building only one program (--target teskvado) still gives its splash the pictures.
foreach(prog IN LISTS TV_PROGRAMAS)
  if(TARGET ${prog})
    add_dependencies(${prog} tv_imagens)
  endif()
endforeach()

# Redraws the artwork under imagens/; see packaging/desenha_imagens.cpp.
find_package(Qt6 COMPONENTS Gui QUIET)
if(TARGET Qt6::Gui)
  add_executable(tv_desenha_pacote EXCLUDE_FROM_ALL ${TV_PACOTE_DIR}/desenha_imagens.cpp)
  target_link_libraries(tv_desenha_pacote PRIVATE Qt6::Gui)
endif()

# --- Install rules -----------------------------------------------------------------------------
# Installing (and cpack, through its preinstall step) would otherwise build the whole default
# target, test programs included, before copying three programs. tv_pacote_programas builds
# just what the package holds; the package check builds it before it runs cpack.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
add_custom_target(tv_pacote_programas)
add_dependencies(tv_pacote_programas tv_imagens)
set(TV_PACOTE_COM_DESKTOP OFF)
set(_links_dir ${CMAKE_BINARY_DIR}/pacote/bin)
file(MAKE_DIRECTORY ${_links_dir})
foreach(prog IN LISTS TV_PROGRAMAS)
  if(NOT TARGET ${prog})
    continue()
  endif()
  if(prog STREQUAL "teskvado")
    set(TV_PACOTE_COM_DESKTOP ON)
  endif()
  add_dependencies(tv_pacote_programas ${prog})
  install(TARGETS ${prog} RUNTIME DESTINATION ${TV_PASTA_PROGRAMAS} COMPONENT teskvado)
  # Relative, so the link holds under any prefix and inside the package's staging tree.
  file(CREATE_LINK ../${TV_PASTA_PROGRAMAS}/${prog} ${_links_dir}/${prog} SYMBOLIC)
  install(FILES ${_links_dir}/${prog} DESTINATION bin COMPONENT teskvado)
endforeach()

set(_imagens_fonte)
foreach(img IN LISTS TV_IMAGENS)
  list(APPEND _imagens_fonte "${CMAKE_SOURCE_DIR}/imagens/${img}")
endforeach()
install(FILES ${_imagens_fonte} DESTINATION ${TV_PASTA_PROGRAMAS}/Imagens COMPONENT teskvado)

# The menu entry and its icon only come with the desktop program they start.
if(TV_PACOTE_COM_DESKTOP)
  install(FILES ${TV_PACOTE_DIR}/teskvado.desktop DESTINATION share/applications COMPONENT teskvado)
  foreach(lado IN LISTS TV_ICONE_LADOS)
    install(FILES ${CMAKE_SOURCE_DIR}/imagens/icone/teskvado-${lado}.png
            DESTINATION share/icons/hicolor/${lado}x${lado}/apps RENAME teskvado.png COMPONENT teskvado)
  endforeach()
endif()

if(TARGET teskvado-cli)
  install(FILES ${TV_PACOTE_DIR}/teskvado-monitorar.service DESTINATION lib/systemd/system COMPONENT teskvado)
  # Kept under the prefix, so that `cmake --install --prefix` never writes into /etc; the
  # package's postinst copies it to /etc/default once, and never over the site's own copy.
  install(FILES ${TV_PACOTE_DIR}/teskvado-monitorar.default DESTINATION share/teskvado COMPONENT teskvado)
endif()
install(FILES ${TV_PACOTE_DIR}/README.md DESTINATION share/doc/teskvado COMPONENT teskvado)

# --- The Debian package ------------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME teskvado)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tesk")
set(CPACK_PACKAGE_CONTACT "Tesk <suporte@tesk.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Integrador entre o ERP da retaguarda e o Ruxo (PAF-ECF)")
set(CPACK_PACKAGE_DESCRIPTION
    "TeskVado importa os cupons fiscais do Ruxo como documentos de venda do ERP, baixa o estoque,\n"
    "responde ao Ruxo com as posições de estoque e importa as reduções Z da impressora fiscal.\n"
    "Traz o programa de mesa (teskvado), o integrador sem janela (teskvado-cli, também como\n"
    "serviço systemd) e um simulador do Ruxo para demonstração (ruxo-sim).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link (Qt 6, SQLite) become Debian's runtime packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugin at run time, so no linked library names it: without it the
# desktop program cannot open a window on a clean system.
set(_depende adduser)
if(TV_PACOTE_COM_DESKTOP)
  list(APPEND _depende qt6-qpa-plugins)
endif()
list(JOIN _depende ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${TV_PACOTE_DIR}/debian/postinst ${TV_PACOTE_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

if(TV_TESTS AND EXISTS ${CMAKE_SOURCE_DIR}/tests/pacote/CMakeLists.txt)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/pacote ${CMAKE_BINARY_DIR}/tests/pacote)
endif()
