# The view's page held in the tool as strings: its markup, style and script
# are files of their own in chart/vista/, the script in three parts joined in
# order. Both the main build and the fuzz build make the header this way.
set(SCENARIO_VISTA_JS_PARTI vista.js vista_pianta.js vista_comandi.js)

function(scenario_vista_sorgenti radice uscita)
  file(READ ${radice}/chart/vista/pagina.html VISTA_HTML)
  file(READ ${radice}/chart/vista/vista.css VISTA_CSS)
  set(VISTA_JS "")
  set(dipende ${radice}/chart/vista/pagina.html ${radice}/chart/vista/vista.css)
  foreach(parte ${SCENARIO_VISTA_JS_PARTI})
    file(READ ${radice}/chart/vista/${parte} testo)
    string(APPEND VISTA_JS "${testo}")
    list(APPEND dipende ${radice}/chart/vista/${parte})
  endforeach()
  # Editing a part configures again.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${dipende})
  configure_file(${radice}/chart/vista_sorgenti.h.in ${uscita} @ONLY)
endfunction()
