# JSON: Debian's header-only nlohmann-json (package nlohmann-json3-dev), as the
# target nlohmann_json::nlohmann_json. A cross build must not search the build
# machine's /usr/include as a whole: it gets a folder that holds only the
# library's headers.
find_package(nlohmann_json 3 QUIET)
if(NOT nlohmann_json_FOUND)
  find_path(nlohmann_json_root nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(nlohmann_json_only ${CMAKE_BINARY_DIR}/nlohmann_json_include)
  file(MAKE_DIRECTORY ${nlohmann_json_only})
  file(CREATE_LINK ${nlohmann_json_root}/nlohmann ${nlohmann_json_only}/nlohmann SYMBOLIC)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${nlohmann_json_only})
endif()
