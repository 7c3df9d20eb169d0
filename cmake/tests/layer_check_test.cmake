# Proves the layer check (cmake/layers.cmake) on copies of the project, each with one fault
# planted: configuring must fail with the check's message, or the file that includes a header
# it may not see must fail to compile. Only configures and preprocesses: a few seconds.
#
#   cmake -DSOURCE_DIR=... -DWORK_DIR=... -DGENERATOR=... -DMAKE_PROGRAM=... -DCXX=... -DGUI=ON|OFF
#         -P layer_check_test.cmake

foreach(required SOURCE_DIR WORK_DIR GENERATOR CXX GUI)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "layer_check_test: ${required} not given")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK_DIR})

set(failures 0)

# A copy of the project's sources: the top-level files and every folder with a CMakeLists.txt,
# plus cmake/ (no build folders, no demo root).
function(copy_project destination)
  file(MAKE_DIRECTORY ${destination})
  file(GLOB entries LIST_DIRECTORIES true ${SOURCE_DIR}/*)
  foreach(entry IN LISTS entries)
    get_filename_component(name ${entry} NAME)
    if(IS_DIRECTORY ${entry})
      if(EXISTS ${entry}/CMakeLists.txt OR name STREQUAL "cmake")
        file(COPY ${entry} DESTINATION ${destination})
      endif()
    else()
      file(COPY ${entry} DESTINATION ${destination})
    endif()
  endforeach()
endfunction()

function(append_to file text)
  file(APPEND ${file} "\n${text}\n")
endfunction()

function(prepend_to file text)
  file(READ ${file} content)
  file(WRITE ${file} "${text}\n${content}")
endfunction()

function(configure_copy source build gui out_result out_output)
  set(arguments -S ${source} -B ${build} -G ${GENERATOR} -DCMAKE_CXX_COMPILER=${CXX}
                -DBUILD_TESTING=OFF -DTELEMATICO_BUILD_GUI=${gui})
  if(MAKE_PROGRAM)
    list(APPEND arguments -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM})
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} ${arguments}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  set(${out_result} ${result} PARENT_SCOPE)
  set(${out_output} "${output}" PARENT_SCOPE)
endfunction()

function(fail case why output)
  message(SEND_ERROR "${case}: ${why}\n----- output -----\n${output}\n------------------")
  math(EXPR failures "${failures} + 1")
  set(failures ${failures} PARENT_SCOPE)
endfunction()

# Plants one fault with `edit` (a function name) and expects configuring to fail with `expected`.
function(expect_configure_fails case gui edit expected)
  set(source ${WORK_DIR}/${case}/src)
  copy_project(${source})
  cmake_language(CALL ${edit} ${source})
  configure_copy(${source} ${WORK_DIR}/${case}/build ${gui} result output)
  string(REPLACE "\n" " " flat "${output}")
  string(REGEX REPLACE "  +" " " flat "${flat}")
  if(result EQUAL 0)
    fail(${case} "configuring succeeded" "${output}")
  elseif(NOT flat MATCHES "${expected}")
    fail(${case} "configuring failed without the message \"${expected}\"" "${output}")
  else()
    message(STATUS "${case}: refused as expected")
  endif()
  set(failures ${failures} PARENT_SCOPE)
endfunction()

# The command that compiles `file` in a configured copy, turned into a preprocessing-only
# run: enough to find every included header, and quick.
function(preprocess_command build file out)
  file(READ ${build}/compile_commands.json commands)
  string(JSON count LENGTH "${commands}")
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    string(JSON entry_file GET "${commands}" ${i} file)
    if(entry_file STREQUAL file)
      string(JSON command GET "${commands}" ${i} command)
      string(JSON directory GET "${commands}" ${i} directory)
      separate_arguments(command UNIX_COMMAND "${command}")
      set(kept "")
      set(skip_next FALSE)
      foreach(argument IN LISTS command)
        if(skip_next)
          set(skip_next FALSE)
        elseif(argument STREQUAL "-o")
          set(skip_next TRUE)
        elseif(NOT argument STREQUAL "-c")
          list(APPEND kept ${argument})
        endif()
      endforeach()
      set(${out} ${kept} -E -o /dev/null PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "layer_check_test: no compile command for ${file}")
endfunction()

# Plants one include with `edit` into `file` (relative to the source root) and expects the
# file to compile before the edit and to fail after it with `expected`.
function(expect_compile_fails case gui file edit expected)
  set(source ${WORK_DIR}/${case}/src)
  set(build ${WORK_DIR}/${case}/build)
  copy_project(${source})
  configure_copy(${source} ${build} ${gui} result output)
  if(NOT result EQUAL 0)
    fail(${case} "the unchanged copy did not configure" "${output}")
    set(failures ${failures} PARENT_SCOPE)
    return()
  endif()
  preprocess_command(${build} ${source}/${file} command)
  execute_process(COMMAND ${command} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    fail(${case} "${file} does not compile even unchanged" "${output}")
    set(failures ${failures} PARENT_SCOPE)
    return()
  endif()
  cmake_language(CALL ${edit} ${source})
  execute_process(COMMAND ${command} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(result EQUAL 0)
    fail(${case} "${file} compiled with the planted include" "${output}")
  elseif(NOT output MATCHES "${expected}")
    fail(${case} "${file} failed without the message \"${expected}\"" "${output}")
  else()
    message(STATUS "${case}: does not compile, as expected")
  endif()
  set(failures ${failures} PARENT_SCOPE)
endfunction()

# --- the faults --------------------------------------------------------------------------

# A feature linking another of its own layer.
function(registers_link_cu source)
  append_to(${source}/registers/CMakeLists.txt "target_link_libraries(registers_core PUBLIC cu)")
endfunction()
expect_configure_fails(upward_link_same_layer OFF registers_link_cu
    "layer check: registers_core links cu, which is not in a layer below its own")

# The CU writer linking the createl form above it.
function(writer_links_form source)
  append_to(${source}/cu/telematic/CMakeLists.txt "target_link_libraries(cu_telematic PUBLIC cu)")
endfunction()
expect_configure_fails(upward_link OFF writer_links_form
    "layer check: cu_telematic links cu, which is not in a layer below its own")

# A core target linking Qt Widgets itself. Without the windows Qt is not looked for: a
# stand-in of the same name is enough for the check, which goes by the name.
function(uniemens_links_qt source)
  append_to(${source}/uniemens/CMakeLists.txt "if(NOT TARGET Qt6::Widgets)
  add_library(Qt6::Widgets INTERFACE IMPORTED)
endif()
target_link_libraries(uniemens PUBLIC Qt6::Widgets)")
endfunction()
expect_configure_fails(qt_in_core ${GUI} uniemens_links_qt
    "layer check: uniemens links Qt6::Widgets, but it must link no Qt")

# A program that must stay free of Qt reaching it through a library it links.
function(cli_links_qt_library source)
  append_to(${source}/app/CMakeLists.txt "add_library(cli_extra INTERFACE)
if(NOT TARGET Qt6::Core)
  add_library(Qt6::Core INTERFACE IMPORTED)
endif()
target_link_libraries(cli_extra INTERFACE Qt6::Core)
target_link_libraries(app_core PUBLIC cli_extra)")
  # The stand-in library gets a layer below the command line's, so only Qt is at fault.
  file(READ ${source}/cmake/layers.cmake layers)
  string(REPLACE "telematico_layer(demo)" "telematico_layer(demo cli_extra)" layers "${layers}")
  file(WRITE ${source}/cmake/layers.cmake "${layers}")
endfunction()
expect_configure_fails(qt_through_a_link OFF cli_links_qt_library
    "layer check: app_core links Qt6::Core through cli_extra, but it must link no Qt")

if(GUI)
  # What every window shares linking a feature.
  function(ui_links_cu source)
    append_to(${source}/ui/CMakeLists.txt "target_link_libraries(ui PUBLIC cu)")
  endfunction()
  expect_configure_fails(ui_links_feature ON ui_links_cu
      "layer check: ui links cu, which is not in a layer below its own")
endif()

# A library that nobody placed in the table.
function(library_without_layer source)
  append_to(${source}/payroll/CMakeLists.txt "add_library(payroll_extra STATIC field_layout.cpp)")
endfunction()
expect_configure_fails(library_without_layer OFF library_without_layer
    "layer check: payroll_extra has no layer")

# The source root made an include folder again.
function(source_root_included source)
  append_to(${source}/records/CMakeLists.txt "target_include_directories(records PUBLIC \${CMAKE_SOURCE_DIR})")
endfunction()
expect_configure_fails(source_root_included OFF source_root_included
    "layer check: records has the source folder .* among its include folders")

# A header of the folder above reached by a relative path, around the include folders.
function(relative_include source)
  prepend_to(${source}/cu/telematic/quadri.cpp "#include \"../createl_form.h\"")
endfunction()
expect_configure_fails(relative_include OFF relative_include
    "layer check: cu/telematic/quadri.cpp includes \"../createl_form.h\" from its own folder")

# The CU writer including a header of the createl form, which it does not link.
function(writer_includes_form_header source)
  prepend_to(${source}/cu/telematic/quadri.cpp "#include \"cu/createl_form.h\"")
endfunction()
expect_compile_fails(include_of_unlinked OFF cu/telematic/quadri.cpp writer_includes_form_header
    "cu/createl_form.h: No such file or directory")

# A core file including a Qt header.
function(core_includes_qt source)
  prepend_to(${source}/uniemens/series_file.cpp "#include <QString>")
endfunction()
expect_compile_fails(qt_header_in_core ${GUI} uniemens/series_file.cpp core_includes_qt
    "QString: No such file or directory")

if(failures GREATER 0)
  message(FATAL_ERROR "layer_check_test: ${failures} case(s) failed")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
