# `cmake --install`: the program folder as the build lays it out, under
# <prefix>/lib/veltrix (the executable with Plugins/, Resources/,
# Dictionaries/ and the sample lesson beside it), the `veltrix` command in
# <prefix>/bin as a link to it, and the desktop entry and icon where desktops
# look for them. An installed copy cannot write beside itself, so it keeps its
# settings in the user's settings folder (see settingsFilePath).
set(VELTRIX_INSTALL_DIR lib/veltrix)

install(TARGETS veltrix RUNTIME DESTINATION ${VELTRIX_INSTALL_DIR})
install(TARGETS bass_core bass_fx bass_enc bass_mix bass_wma LIBRARY DESTINATION ${VELTRIX_INSTALL_DIR}/Plugins)
# The external tools are links to the system's own, as in the build.
foreach(tool lame ffmpeg flvstreamer)
  if(VELTRIX_TOOL_${tool})
    install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VELTRIX_INSTALL_DIR}/Plugins\")
      file(CREATE_LINK \"${VELTRIX_TOOL_${tool}}\"
           \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VELTRIX_INSTALL_DIR}/Plugins/${tool}\" SYMBOLIC)")
  endif()
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/Resources/ DESTINATION ${VELTRIX_INSTALL_DIR}/Resources)
install(DIRECTORY DESTINATION ${VELTRIX_INSTALL_DIR}/Dictionaries/PDIC)
install(DIRECTORY DESTINATION ${VELTRIX_INSTALL_DIR}/Dictionaries/WordNet)
install(FILES ${VELTRIX_PROGRAM_DIR}/Samples/AskingTheWay.mp3 ${VELTRIX_PROGRAM_DIR}/Samples/AskingTheWay.xml
        DESTINATION ${VELTRIX_INSTALL_DIR}/Samples OPTIONAL)

install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(CREATE_LINK \"../${VELTRIX_INSTALL_DIR}/veltrix\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/veltrix\" SYMBOLIC)")
install(FILES ${PROJECT_SOURCE_DIR}/desktop/veltrix.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/veltrix.svg DESTINATION share/icons/hicolor/scalable/apps)
