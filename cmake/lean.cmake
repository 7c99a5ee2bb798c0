# Small programs. Both programs are linked statically, so every piece of the C++
# runtime they pull in ships with them; these settings keep out what they never use.
# Measured on the i686 build, each step with the ones above it (bytes; -Os,
# --gc-sections and -s were on before):
#
#                                                   Tav_uninstall   Tavrino2 (carries it)
#   before                                                321,024     760,832
#   own terminate handler (no demangler, no printf)       243,712     634,880
#   unwind tables collected like code (i686 only)          98,304     319,488
#   -fno-exceptions for the programs' own code             96,256     308,224
#
# x86_64 (own terminate handler, -fno-exceptions): 242,688 -> 168,960 and
# 601,088 -> 462,848. The size limits are checked in tests/checks.

# The programs catch no exception: whatever is thrown (only the runtime throws,
# bad_alloc or length_error) ends the program through abort(). -fno-exceptions
# keeps it so (a try or catch does not compile) and drops the clean-up code.
foreach(target tavcore tavwin tavrino Tavrino2 Tav_uninstall)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions>)
endforeach()

foreach(program Tavrino2 Tav_uninstall)
  target_sources(${program} PRIVATE ${PROJECT_SOURCE_DIR}/common/win/terminate_handler.cpp)
endforeach()

# i686: the linker's default script keeps every piece of .eh_frame (and the
# exception tables it points to), and each piece keeps its function, so
# --gc-sections removes nothing from a runtime object that has unwind tables:
# one std::string function used brought all of the runtime's string code. The
# programs' script is the toolchain's own with those two rules relaxed: the
# tables, which no code refers to, are left out (crtend.o's end marker stays)
# and the runtime's unused functions go. Nothing in the programs catches, so a
# throw found no handler before and ended in abort(); without tables the
# unwinder stops at the first frame and it ends in abort() all the same (tried
# on a Linux build without .eh_frame). Windows itself does not use these
# tables on i686 (its exceptions run through the frame chain at fs:0).
# On x86_64 the unwind tables (.pdata) are Windows' own and stay as they are.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
  execute_process(COMMAND ${TAV_MINGW_PREFIX}-ld --verbose
                  OUTPUT_VARIABLE ld_help RESULT_VARIABLE ld_status)
  string(FIND "${ld_help}" "==================================================" script_start)
  string(FIND "${ld_help}" "==================================================" script_end REVERSE)
  if(NOT ld_status EQUAL 0 OR script_start EQUAL script_end)
    message(FATAL_ERROR "${TAV_MINGW_PREFIX}-ld --verbose printed no linker script")
  endif()
  math(EXPR script_start "${script_start} + 50")
  math(EXPR script_length "${script_end} - ${script_start}")
  string(SUBSTRING "${ld_help}" ${script_start} ${script_length} script)
  set(keep_unwind "KEEP(*(.eh_frame*))")
  set(keep_tables "KEEP (*(.gcc_except_table))")
  foreach(rule keep_unwind keep_tables)
    string(FIND "${script}" "${${rule}}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "The linker script of ${TAV_MINGW_PREFIX}-ld has no rule "
                          "'${${rule}}' any more: look at cmake/lean.cmake again.")
    endif()
  endforeach()
  string(REPLACE "${keep_unwind}"
                 "*(EXCLUDE_FILE(*crtend.o) .eh_frame*)\n    KEEP(*crtend.o(.eh_frame*))"
                 script "${script}")
  string(REPLACE "${keep_tables}" "*(.gcc_except_table)" script "${script}")
  set(TAV_LINKER_SCRIPT ${PROJECT_BINARY_DIR}/programs.ld)
  file(WRITE ${TAV_LINKER_SCRIPT}.new "${script}")
  configure_file(${TAV_LINKER_SCRIPT}.new ${TAV_LINKER_SCRIPT} COPYONLY)  # written when changed
  foreach(program Tavrino2 Tav_uninstall)
    target_link_options(${program} PRIVATE -Wl,-T,${TAV_LINKER_SCRIPT})
    set_property(TARGET ${program} APPEND PROPERTY LINK_DEPENDS ${TAV_LINKER_SCRIPT})
  endforeach()
endif()
