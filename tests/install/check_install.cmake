# Installs the build into a fresh prefix and checks that the prefix holds a working
# program directory and a desktop entry that points into it.
#   cmake -DBUILD_DIR=... -DPREFIX=... -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
foreach(file bin/pelgrin bin/pelgrin-cli bin/demo/demo.shp bin/demo/desert.pal
             bin/source/heroes.shp bin/dest/army.shp bin/demo-transfer.csv
             share/icons/hicolor/64x64/apps/pelgrin.png share/applications/pelgrin.desktop)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "missing from the installation: ${file}")
  endif()
endforeach()
file(READ "${PREFIX}/share/applications/pelgrin.desktop" entry)
foreach(line "Exec=${PREFIX}/bin/pelgrin %f"
             "Icon=${PREFIX}/share/icons/hicolor/64x64/apps/pelgrin.png")
  string(FIND "${entry}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks '${line}'")
  endif()
endforeach()
execute_process(COMMAND "${PREFIX}/bin/pelgrin-cli" info "${PREFIX}/bin/demo/demo.shp"
                RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out MATCHES "44 Icons")
  message(FATAL_ERROR "the installed pelgrin-cli does not read the installed demo archive")
endif()
file(REMOVE_RECURSE "${PREFIX}")
