# What `cmake --install` puts where, and the packages CPack makes of it:
# a .deb and a .tar.gz on Linux, a .zip on Windows, all named with the version.
# scripts/check_packages.sh builds and checks them.

option(FRAGTALLY_STATIC_RUNTIME
       "Link the C++ runtime into the shipped programs, so they run on systems with an older one" OFF)
if(FRAGTALLY_STATIC_RUNTIME AND NOT MINGW)  # mingw links everything statically anyway
  target_link_options(fragtally-cli PRIVATE -static-libstdc++ -static-libgcc)
endif()
option(FRAGTALLY_FULLY_STATIC
       "Link everything, the C library too, into fragtally-cli: the container image holds nothing else" OFF)
if(FRAGTALLY_FULLY_STATIC AND NOT MINGW)
  target_link_options(fragtally-cli PRIVATE -static)
endif()

if(WIN32)
  # The zip is unpacked into a folder of its own and used from there: the two
  # programs, a README that Notepad shows right (UTF-8 with a BOM, CR LF) and
  # the sample log to try them on.
  set(readme_txt ${CMAKE_CURRENT_BINARY_DIR}/README.txt)
  add_custom_command(
    OUTPUT ${readme_txt}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${readme_txt}
            "-DINPUTS=${PROJECT_SOURCE_DIR}/README.md;${PROJECT_SOURCE_DIR}/LICENSE"
            -P ${PROJECT_SOURCE_DIR}/cmake/windows_text.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
            ${PROJECT_SOURCE_DIR}/cmake/windows_text.cmake
    COMMENT "Writing README.txt for Windows"
    VERBATIM)
  add_custom_target(fragtally_readme_txt ALL DEPENDS ${readme_txt})
  install(TARGETS fragtally fragtally-cli RUNTIME DESTINATION .)
  install(FILES ${readme_txt} ${PROJECT_SOURCE_DIR}/examples/sample.log DESTINATION .)
else()
  include(GNUInstallDirs)
  set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/fragtally)
  install(TARGETS fragtally-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/docs/fragtally-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/examples/sample.log
          DESTINATION ${doc_dir})
endif()

set(CPACK_PACKAGE_NAME fragtally)
set(CPACK_PACKAGE_VENDOR "The Fragtally developers")
set(CPACK_PACKAGE_CONTACT "The Fragtally developers <${FRAGTALLY_CONTACT}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Statistics reports of a game server's logs")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "fragtally-cli turns the text log of a game played on a team-based shooter's"
    "server into an HTML statistics report: match summary, team figures, who"
    "killed whom, kills by weapon, with a picture of every weapon. It also runs"
    "over a server's whole logs folder, with a JSON record per match and an"
    "index, and live while the server plays.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME fragtally-${PROJECT_VERSION}-win64)
else()
  set(CPACK_GENERATOR DEB TGZ)
  string(TOLOWER ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR} system_name)
  set(CPACK_PACKAGE_FILE_NAME fragtally-${PROJECT_VERSION}-${system_name})
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # fragtally_<version>_<architecture>.deb
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
endif()
include(CPack)
