# The layers of the house, lowest first. A library or program may link only targets of its
# own layer or of lower ones, and the core layers link no Qt at all: configuring fails
# otherwise, so that a window header can never creep into the core, nor a feature into the
# ground it stands on. Test programs stand beside their layer and are not listed.
set(TELEMATICO_LAYERS
    "records"                           # channels, numbers, texts, paths, operator interfaces
    "payroll"                           # record layouts of the payroll suite's files
    "cu_telematic"                      # the CU writer
    "cu;uniemens;registers_core;check"  # the forms of the four windows; the check before sending
    "ui"                                # what every window shares (Qt)
    "cu_ui;uniemens_ui;registers_ui;check_ui" # the windows (Qt)
    "demo"                              # the demo installation
    "app_core;app_windows"              # what the command line and the windows add
    "telematico;telematico-cli"         # the programs
    "cu_run_bench;uniemens_bench;cu_fuzz;verifica_bench" # developers' tools
)
set(TELEMATICO_CORE_LAYERS 4) # the first four entries above link no Qt; nor do demo and app_core
set(TELEMATICO_QT_FREE_TARGETS demo app_core telematico-cli)

function(telematico_check_layers)
  set(rank 0)
  foreach(layer IN LISTS TELEMATICO_LAYERS)
    foreach(target IN LISTS layer)
      set(rank_of_${target} ${rank})
    endforeach()
    math(EXPR rank "${rank} + 1")
  endforeach()
  set(rank 0)
  foreach(layer IN LISTS TELEMATICO_LAYERS)
    foreach(target IN LISTS layer)
      if(NOT TARGET ${target})
        continue()
      endif()
      get_target_property(links ${target} LINK_LIBRARIES)
      if(NOT links)
        set(links "")
      endif()
      foreach(link IN LISTS links)
        if(DEFINED rank_of_${link} AND rank_of_${link} GREATER rank)
          message(FATAL_ERROR "${target} links ${link}, a layer above its own")
        endif()
        if(link MATCHES "^Qt6::" AND (rank LESS TELEMATICO_CORE_LAYERS OR target IN_LIST TELEMATICO_QT_FREE_TARGETS))
          message(FATAL_ERROR "${target} belongs to the core and must not link ${link}")
        endif()
      endforeach()
    endforeach()
    math(EXPR rank "${rank} + 1")
  endforeach()
endfunction()
