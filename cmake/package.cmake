# The release package, made by `cmake --build --preset win32 --target package`:
#
#   Tavrino2-<version>-win32.zip
#     Tavrino2-<version>-win32/Tavrino2.exe   the program (it carries Tav_uninstall.exe)
#     Tavrino2-<version>-win32/README.txt     docs/README-frontend.md  } for Windows readers:
#     Tavrino2-<version>-win32/actions.txt    docs/actions.md          } CRLF, UTF-8 with BOM
#
# The version is the project's (top CMakeLists.txt); the version resources of
# both programs carry the same. tests/checks opens the package and checks it.
set(TAV_PACKAGE_NAME Tavrino2-${PROJECT_VERSION}-win32)
set(TAV_PACKAGE_FILE ${PROJECT_BINARY_DIR}/${TAV_PACKAGE_NAME}.zip)
set(TAV_PACKAGE_TEXTS "README-frontend.md=README.txt" "actions.md=actions.txt")

set(text_dir ${PROJECT_BINARY_DIR}/package-texts)
set(texts)
foreach(pair IN LISTS TAV_PACKAGE_TEXTS)
  string(REPLACE "=" ";" pair ${pair})
  list(GET pair 0 source)
  list(GET pair 1 name)
  add_custom_command(OUTPUT ${text_dir}/${name}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/docs/${source}
            -DOUTPUT=${text_dir}/${name} -P ${PROJECT_SOURCE_DIR}/cmake/windows-text.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/${source} ${PROJECT_SOURCE_DIR}/cmake/windows-text.cmake
    COMMENT "Package text ${name} from docs/${source}")
  list(APPEND texts ${text_dir}/${name})
endforeach()
add_custom_target(package_texts ALL DEPENDS ${texts})

install(TARGETS Tavrino2 RUNTIME DESTINATION .)
install(FILES ${texts} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tavrino2)
set(CPACK_PACKAGE_VENDOR Tavrino)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${TAV_PACKAGE_NAME})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)
