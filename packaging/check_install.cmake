cmake_minimum_required(VERSION 3.25)
# Installs the build into a scratch folder and checks that the programs, the menu entry and
# the icon land where a desktop looks for them. Run by CTest: cmake -DBUILD=... -DSTAGE=... -P
file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${STAGE}/usr"
                RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "cmake --install failed")
endif()
foreach(file usr/bin/telematico usr/bin/telematico-cli usr/share/applications/telematico.desktop
             usr/share/icons/hicolor/64x64/apps/telematico.png usr/share/icons/hicolor/256x256/apps/telematico.png)
  if(NOT EXISTS "${STAGE}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
file(STRINGS "${STAGE}/usr/share/applications/telematico.desktop" entry)
foreach(line "Exec=telematico" "Icon=telematico" "Type=Application")
  if(NOT line IN_LIST entry)
    message(FATAL_ERROR "the menu entry lacks ${line}")
  endif()
endforeach()
file(REMOVE_RECURSE "${STAGE}")
