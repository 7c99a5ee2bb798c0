# Settings shared by every Windows target of the project.
enable_language(RC)

# Sources are UTF-8; the German texts reach the ANSI API in code page 1252.
add_compile_options($<$<COMPILE_LANGUAGE:CXX,C>:-finput-charset=UTF-8>
                    $<$<COMPILE_LANGUAGE:CXX,C>:-fexec-charset=CP1252>
                    $<$<COMPILE_LANGUAGE:CXX,C>:-Wall>
                    $<$<COMPILE_LANGUAGE:CXX,C>:-Wextra>)
add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0800
                        NOMINMAX STRICT WIN32_LEAN_AND_MEAN)

# Import only system DLLs: no libgcc, libstdc++ or winpthread DLL beside the programs.
add_link_options(-static -static-libgcc -static-libstdc++)

# Small programs: drop unused code; the release build carries no symbols.
add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-Wl,--gc-sections $<$<CONFIG:MinSizeRel>:-s>)

set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 1252")
