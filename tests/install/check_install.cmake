# Installs the build into a fresh prefix and checks that the prefix holds a working
# program directory, a desktop entry that points into it, and the MIME type it declares.
#   cmake -DBUILD_DIR=... -DPREFIX=... -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
foreach(file bin/pelgrin bin/pelgrin-cli bin/demo/demo.shp bin/demo/desert.pal
             bin/source/heroes.shp bin/dest/army.shp bin/demo-transfer.csv
             share/icons/hicolor/64x64/apps/pelgrin.png share/applications/pelgrin.desktop
             share/mime/packages/pelgrin.xml)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "missing from the installation: ${file}")
  endif()
endforeach()
file(READ "${PREFIX}/share/applications/pelgrin.desktop" entry)
foreach(line "Exec=${PREFIX}/bin/pelgrin %f"
             "Icon=${PREFIX}/share/icons/hicolor/64x64/apps/pelgrin.png"
             "MimeType=application/x-pelgrin-shp;")
  string(FIND "${entry}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks '${line}'")
  endif()
endforeach()
# The entry passes the desktop's own check, and the MIME type is read into the prefix's
# database, where the tools are installed (desktop-file-utils, shared-mime-info).
find_program(validate desktop-file-validate)
if(validate)
  execute_process(COMMAND "${validate}" "${PREFIX}/share/applications/pelgrin.desktop"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0 OR NOT out STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: ${out}")
  endif()
endif()
find_program(update_mime update-mime-database)
if(update_mime AND NOT EXISTS "${PREFIX}/share/mime/application/x-pelgrin-shp.xml")
  message(FATAL_ERROR "the MIME type of SHP archives is not in the installed database")
endif()
execute_process(COMMAND "${PREFIX}/bin/pelgrin-cli" info "${PREFIX}/bin/demo/demo.shp"
                RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out MATCHES "44 Icons")
  message(FATAL_ERROR "the installed pelgrin-cli does not read the installed demo archive")
endif()
file(REMOVE_RECURSE "${PREFIX}")
