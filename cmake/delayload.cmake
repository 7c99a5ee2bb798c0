# The heavier system DLLs are delay-loaded: an action that shows no dialog and
# touches no COM object (makedir, kill, copy, rename, ...) starts without
# loading them. Under Wine this is most of a silent action's start-up time.
#
# Delay-loading is also what keeps a DLL planted beside a program out of it:
# the first thing both programs do is restrict the DLL search to the system
# folder (common/win/dll_search.h), and every delay-loaded DLL, and whatever it
# loads in turn, comes after that. What they import at start-up is found
# before their first instruction, so it must be a known DLL, which Windows
# takes from the system folder only (comctl32 is none: it stays delay-loaded);
# tests/checks/check_imports.sh holds them to that.
#
# tav_delay_import(<dll>) creates the imported target delay::<dll>.
set(TAV_DELAY_DIR ${PROJECT_BINARY_DIR}/delayload)

function(tav_delay_import dll)
  set(lib ${TAV_DELAY_DIR}/lib${dll}_delay.a)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TAV_DELAY_DIR}
    COMMAND bash ${PROJECT_SOURCE_DIR}/cmake/make-delay-lib.sh ${TAV_MINGW_PREFIX} ${dll} ${lib}
    DEPENDS ${PROJECT_SOURCE_DIR}/cmake/make-delay-lib.sh
    COMMENT "Delay-load import library for ${dll}.dll")
  add_custom_target(make_delay_${dll} DEPENDS ${lib})
  add_library(delay::${dll} STATIC IMPORTED GLOBAL)
  set_target_properties(delay::${dll} PROPERTIES IMPORTED_LOCATION ${lib}
                                                 INTERFACE_LINK_LIBRARIES delayimp)
  add_dependencies(delay::${dll} make_delay_${dll})
endfunction()

foreach(dll ole32 oleaut32 shell32 comdlg32 comctl32)
  tav_delay_import(${dll})
endforeach()
