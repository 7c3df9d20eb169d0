# The layers of the house, lowest first, and the check that keeps them.
#
# Every library and program of the project has a rank: its place in the table below. A
# target may link only targets of a lower rank, never one of its own layer or above, and
# only the targets marked QT may link Qt, directly or through anything they link: the core,
# the demo, the command line and the tools stay free of it. Test programs (named "..._tests")
# stand beside their layer: nothing links them, so they may link whatever they test.
#
# Each library exposes its headers, and only those, through a folder of its own in the build
# tree (build/include/<target>/), under their usual paths ("records/record_file.h"); a target
# sees the folders of the targets it links and nothing else of the source tree. So a file
# that includes the header of a target its own target does not link fails to compile. A
# library's headers are those listed among its sources or, when it lists none, every header
# of its folder that no other library lists (not those of subfolders: cu/ui/createl.h is
# cu_ui's, not cu's). A program or test program sees, besides what it links, the headers
# lying beside its own sources that belong to no library (the tests' helpers, tools/*.h).
# So a header that a library lists among its sources must be listed whole: one left out is
# seen by nobody but the programs beside it.
#
# Configuring fails, naming the target, when a target links one that is not below it, when
# a target that must stay free of Qt reaches Qt, when a library or program has no layer, when
# a target has a source folder among its include folders, or when a project header is
# included by a path relative to the including file (which the compiler would find beside
# it, around the include folders).

set_property(GLOBAL PROPERTY TELEMATICO_LAYER_COUNT 0)

# telematico_layer(TARGET... [QT]): the next layer up, with its targets; QT lets them link Qt.
function(telematico_layer)
  cmake_parse_arguments(PARSE_ARGV 0 arg "QT" "" "")
  get_property(rank GLOBAL PROPERTY TELEMATICO_LAYER_COUNT)
  foreach(target IN LISTS arg_UNPARSED_ARGUMENTS)
    get_property(known GLOBAL PROPERTY TELEMATICO_RANK_${target} SET)
    if(known)
      message(FATAL_ERROR "layer check: ${target} is given two layers in cmake/layers.cmake")
    endif()
    set_property(GLOBAL PROPERTY TELEMATICO_RANK_${target} ${rank})
    set_property(GLOBAL PROPERTY TELEMATICO_QT_${target} ${arg_QT})
  endforeach()
  math(EXPR rank "${rank} + 1")
  set_property(GLOBAL PROPERTY TELEMATICO_LAYER_COUNT ${rank})
endfunction()

telematico_layer(records)                           # record files, numbers, texts, paths, operator interfaces
telematico_layer(payroll)                           # record layouts of the payroll suite's files
telematico_layer(test_support)                      # what the tests of every layer share
telematico_layer(ui QT)                             # what every window shares, knowing no feature
telematico_layer(cu_telematic)                      # the CU writer
telematico_layer(cu uniemens registers_core check)  # the features: the forms, their writers, the check
telematico_layer(cu_ui uniemens_ui registers_ui check_ui QT) # the windows
telematico_layer(demo)                              # the demo installation
telematico_layer(cu_telematic_test_support uniemens_test_support check_test_support) # what a feature's tests share
telematico_layer(app_core)                          # what the command line adds
telematico_layer(app_windows QT)                    # what the windows' program adds
telematico_layer(telematico-cli)                    # the command line
telematico_layer(telematico QT)                     # the windows' program
telematico_layer(fuzz_support)                      # what the fuzz drivers share
telematico_layer(cu_run_bench uniemens_bench verifica_bench check_rules cu_fuzz uniemens_fuzz check_fuzz verifica_hostile) # developers' tools

# --- what follows is the check itself ------------------------------------------------------

# The project's own targets, from every folder that was added.
function(_telematico_targets_of dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    _telematico_targets_of(${subdir} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# The names in a list of link items, generator expressions taken apart:
# "$<LINK_ONLY:Qt6::Core>" gives "Qt6::Core".
function(_telematico_link_names items out)
  set(names "")
  foreach(item IN LISTS items)
    string(REPLACE "$<" ";" item "${item}")
    string(REPLACE ">" ";" item "${item}")
    string(REPLACE "," ";" item "${item}")
    foreach(name IN LISTS item)
      # "LINK_ONLY:name" or "CONFIG:Debug": what follows the operator's name
      while(name MATCHES "^[A-Za-z_]*:([^:].*)$")
        set(name "${CMAKE_MATCH_1}")
      endwhile()
      if(NOT name STREQUAL "")
        if(TARGET ${name})
          get_target_property(aliased ${name} ALIASED_TARGET)
          if(aliased)
            set(name ${aliased})
          endif()
        endif()
        list(APPEND names ${name})
      endif()
    endforeach()
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# Whether a link name stands for Qt: Qt6::Widgets, Qt::Core, a path to libQt6Gui.so,
# -lQt6Core, a pkg-config target PkgConfig::QT6WIDGETS.
function(_telematico_is_qt name out)
  string(TOLOWER "${name}" lower)
  if(lower MATCHES "(^|::|/|-l)(lib)?qt[0-9]*(::|[a-z])")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

# Every link item of a target, its own and those it passes on.
function(_telematico_direct_links target out)
  get_target_property(type ${target} TYPE)
  set(items "")
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(own ${target} LINK_LIBRARIES)
    if(own)
      list(APPEND items ${own})
    endif()
  endif()
  get_target_property(passed ${target} INTERFACE_LINK_LIBRARIES)
  if(passed)
    list(APPEND items ${passed})
  endif()
  _telematico_link_names("${items}" names)
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# The first Qt library that a target reaches through its links, with the way to it
# ("Qt6::Widgets through ui"), or nothing.
function(_telematico_qt_reached target out)
  _telematico_direct_links(${target} names)
  # Each entry of the queue: "name|the targets it was reached through".
  set(queue "")
  foreach(name IN LISTS names)
    list(APPEND queue "${name}|")
  endforeach()
  set(seen ${target})
  while(queue)
    list(POP_FRONT queue entry)
    string(FIND "${entry}" "|" bar REVERSE)
    string(SUBSTRING "${entry}" 0 ${bar} name)
    math(EXPR after "${bar} + 1")
    string(SUBSTRING "${entry}" ${after} -1 via)
    _telematico_is_qt("${name}" qt)
    if(qt)
      if(via STREQUAL "")
        set(${out} "${name}" PARENT_SCOPE)
      else()
        set(${out} "${name} through ${via}" PARENT_SCOPE)
      endif()
      return()
    endif()
    if(NOT TARGET ${name} OR name IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${name})
    get_target_property(passed ${name} INTERFACE_LINK_LIBRARIES)
    if(NOT passed)
      continue()
    endif()
    _telematico_link_names("${passed}" more)
    if(via STREQUAL "")
      set(next_via "${name}")
    else()
      set(next_via "${via}, ${name}")
    endif()
    foreach(next IN LISTS more)
      list(APPEND queue "${next}|${next_via}")
    endforeach()
  endwhile()
  set(${out} "" PARENT_SCOPE)
endfunction()

# Targets that are part of another one: the objects Qt makes of a target's resources.
function(_telematico_is_part target out)
  get_target_property(resource ${target} _qt_resource_name)
  if(resource)
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

# The headers among a target's sources, as absolute paths inside the source tree.
function(_telematico_listed_headers target out)
  get_target_property(sources ${target} SOURCES)
  get_target_property(dir ${target} SOURCE_DIR)
  set(headers "")
  foreach(source IN LISTS sources)
    if(source MATCHES "\\.h$" AND NOT source MATCHES "\\$<")
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${dir} NORMALIZE OUTPUT_VARIABLE path)
      cmake_path(IS_PREFIX CMAKE_SOURCE_DIR "${path}" NORMALIZE inside)
      cmake_path(IS_PREFIX CMAKE_BINARY_DIR "${path}" NORMALIZE generated)
      if(inside AND NOT generated)
        list(APPEND headers ${path})
      endif()
    endif()
  endforeach()
  set(${out} ${headers} PARENT_SCOPE)
endfunction()

# Makes build/include/<target>/ hold links to the given headers under their paths from the
# source root, and lets the target (and, for a library, whoever links it) include from there.
function(_telematico_expose target scope headers)
  if(NOT headers)
    return()
  endif()
  set(folder ${CMAKE_BINARY_DIR}/include/${target})
  file(MAKE_DIRECTORY ${folder})
  foreach(header IN LISTS headers)
    file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR} ${header})
    get_filename_component(parent ${folder}/${relative} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${header} ${folder}/${relative} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${folder})
endfunction()

# Gives every library and program its include folder (see the head of this file).
function(_telematico_expose_headers targets)
  file(REMOVE_RECURSE ${CMAKE_BINARY_DIR}/include)
  set(libraries "")
  set(programs "")
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "LIBRARY$")
      list(APPEND libraries ${target})
    elseif(type STREQUAL "EXECUTABLE")
      list(APPEND programs ${target})
    endif()
  endforeach()

  # The headers each library lists, and the folders whose other headers it takes.
  set(claimed "")
  foreach(target IN LISTS libraries)
    _telematico_listed_headers(${target} listed)
    set(headers_of_${target} ${listed})
    foreach(header IN LISTS listed)
      if(DEFINED owner_of_${header})
        message(FATAL_ERROR "layer check: ${header} is listed by ${owner_of_${header}} and by ${target}")
      endif()
      set(owner_of_${header} ${target})
      list(APPEND claimed ${header})
    endforeach()
  endforeach()
  set(library_folders "")
  foreach(target IN LISTS libraries)
    get_target_property(dir ${target} SOURCE_DIR)
    list(APPEND library_folders ${dir})
    if(headers_of_${target})
      continue()
    endif()
    if(DEFINED folder_taken_by_${dir})
      message(FATAL_ERROR "layer check: ${folder_taken_by_${dir}} and ${target} both take the headers of "
                          "${dir}: list each one's headers among its sources")
    endif()
    set(folder_taken_by_${dir} ${target})
  endforeach()
  list(REMOVE_DUPLICATES library_folders)
  foreach(dir IN LISTS library_folders)
    file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h)
    foreach(header IN LISTS headers)
      if(header IN_LIST claimed)
        continue()
      endif()
      if(NOT DEFINED folder_taken_by_${dir})
        continue() # no library's: the programs beside it see it
      endif()
      list(APPEND headers_of_${folder_taken_by_${dir}} ${header})
      list(APPEND claimed ${header})
    endforeach()
  endforeach()

  foreach(target IN LISTS libraries)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      _telematico_expose(${target} INTERFACE "${headers_of_${target}}")
    else()
      _telematico_expose(${target} PUBLIC "${headers_of_${target}}")
    endif()
    set_property(GLOBAL APPEND PROPERTY TELEMATICO_HEADERS ${headers_of_${target}})
  endforeach()

  # A program sees the headers beside its sources that no library takes.
  foreach(target IN LISTS programs)
    get_target_property(sources ${target} SOURCES)
    get_target_property(dir ${target} SOURCE_DIR)
    set(folders "")
    foreach(source IN LISTS sources)
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${dir} NORMALIZE OUTPUT_VARIABLE path)
      cmake_path(GET path PARENT_PATH parent)
      cmake_path(IS_PREFIX CMAKE_SOURCE_DIR "${parent}" NORMALIZE inside)
      cmake_path(IS_PREFIX CMAKE_BINARY_DIR "${parent}" NORMALIZE generated)
      if(inside AND NOT generated)
        list(APPEND folders ${parent})
      endif()
    endforeach()
    list(REMOVE_DUPLICATES folders)
    set(beside "")
    foreach(folder IN LISTS folders)
      file(GLOB headers CONFIGURE_DEPENDS ${folder}/*.h)
      foreach(header IN LISTS headers)
        if(NOT header IN_LIST claimed)
          list(APPEND beside ${header})
        endif()
      endforeach()
    endforeach()
    _telematico_expose(${target} PRIVATE "${beside}")
    set_property(GLOBAL APPEND PROPERTY TELEMATICO_HEADERS ${beside})
  endforeach()
endfunction()

# A project header included by a path relative to the including file ("text.h",
# "../environment.h", "ui/createl.h" from cu/) is found beside that file before any include
# folder is looked at, so it would slip past them: every project include is written from the
# source root and found through the include folders.
function(_telematico_check_include_paths files)
  foreach(file IN LISTS files)
    if(NOT EXISTS ${file})
      continue()
    endif()
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    cmake_path(GET file PARENT_PATH dir)
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "\"([^\"]+)\"")
        continue()
      endif()
      set(included "${CMAKE_MATCH_1}")
      if(EXISTS ${dir}/${included} AND NOT dir STREQUAL CMAKE_SOURCE_DIR)
        file(RELATIVE_PATH shown ${CMAKE_SOURCE_DIR} ${file})
        message(FATAL_ERROR "layer check: ${shown} includes \"${included}\" from its own folder: "
                            "write the path from the source root, so that it goes through the "
                            "include folders of the targets it links")
      endif()
    endforeach()
  endforeach()
endfunction()

function(telematico_check_layers)
  _telematico_targets_of(${CMAKE_SOURCE_DIR} all_targets)
  set(targets "")
  foreach(target IN LISTS all_targets)
    get_target_property(type ${target} TYPE)
    _telematico_is_part(${target} part)
    if(part OR NOT (type MATCHES "LIBRARY$" OR type STREQUAL "EXECUTABLE"))
      continue()
    endif()
    list(APPEND targets ${target})
  endforeach()

  # Links: only to targets below, and no Qt unless the layer allows it.
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    get_property(ranked GLOBAL PROPERTY TELEMATICO_RANK_${target} SET)
    if(NOT ranked)
      if(type STREQUAL "EXECUTABLE" AND target MATCHES "_tests$")
        continue()
      endif()
      message(FATAL_ERROR "layer check: ${target} has no layer: give it one in cmake/layers.cmake")
    endif()
    get_property(rank GLOBAL PROPERTY TELEMATICO_RANK_${target})
    _telematico_direct_links(${target} links)
    foreach(link IN LISTS links)
      get_property(link_ranked GLOBAL PROPERTY TELEMATICO_RANK_${link} SET)
      if(link_ranked)
        get_property(link_rank GLOBAL PROPERTY TELEMATICO_RANK_${link})
        if(NOT link_rank LESS rank)
          message(FATAL_ERROR "layer check: ${target} links ${link}, which is not in a layer below "
                              "its own (cmake/layers.cmake)")
        endif()
      endif()
    endforeach()
    get_property(qt_allowed GLOBAL PROPERTY TELEMATICO_QT_${target})
    if(NOT qt_allowed)
      _telematico_qt_reached(${target} qt)
      if(qt)
        message(FATAL_ERROR "layer check: ${target} links ${qt}, but it must link no Qt "
                            "(cmake/layers.cmake)")
      endif()
    endif()
  endforeach()

  _telematico_expose_headers("${targets}")

  # Include folders: only generated ones, never a folder of the sources; and every project
  # include written from the source root.
  set(files "")
  foreach(target IN LISTS targets)
    get_target_property(own_dirs ${target} INCLUDE_DIRECTORIES)
    get_target_property(passed_dirs ${target} INTERFACE_INCLUDE_DIRECTORIES)
    foreach(dir IN LISTS own_dirs passed_dirs)
      string(REGEX REPLACE "^\\$<[A-Z_]+:(.*)>$" "\\1" dir "${dir}")
      if(dir STREQUAL "" OR dir MATCHES "-NOTFOUND$" OR NOT IS_ABSOLUTE "${dir}")
        continue()
      endif()
      cmake_path(IS_PREFIX CMAKE_SOURCE_DIR "${dir}" NORMALIZE inside)
      cmake_path(IS_PREFIX CMAKE_BINARY_DIR "${dir}" NORMALIZE generated)
      if(inside AND NOT generated)
        message(FATAL_ERROR "layer check: ${target} has the source folder ${dir} among its include "
                            "folders, through which a file could include the headers of targets it "
                            "does not link")
      endif()
    endforeach()

    get_target_property(sources ${target} SOURCES)
    get_target_property(source_dir ${target} SOURCE_DIR)
    foreach(source IN LISTS sources)
      if(NOT source MATCHES "\\$<")
        cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir} NORMALIZE OUTPUT_VARIABLE path)
        list(APPEND files ${path})
      endif()
    endforeach()
  endforeach()

  get_property(headers GLOBAL PROPERTY TELEMATICO_HEADERS)
  list(APPEND files ${headers})
  list(REMOVE_DUPLICATES files)
  _telematico_check_include_paths("${files}")
endfunction()
