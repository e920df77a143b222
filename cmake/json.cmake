# The JSON library (Debian's header-only nlohmann-json3-dev) as the target
# fragtally_json, for the targets that read or write JSON.
add_library(fragtally_json INTERFACE)
if(CMAKE_CROSSCOMPILING)
  # The cross compiler does not search the build machine's /usr/include, and must
  # not see its C library there: it gets a folder holding only the library's headers.
  find_path(NLOHMANN_JSON_INCLUDE_DIR nlohmann/json.hpp PATHS /usr/include NO_DEFAULT_PATH
            NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(json_headers ${CMAKE_BINARY_DIR}/json-headers)
  file(MAKE_DIRECTORY ${json_headers})
  file(CREATE_LINK ${NLOHMANN_JSON_INCLUDE_DIR}/nlohmann ${json_headers}/nlohmann SYMBOLIC)
  target_include_directories(fragtally_json SYSTEM INTERFACE ${json_headers})
else()
  find_package(nlohmann_json 3.10 REQUIRED)
  target_link_libraries(fragtally_json INTERFACE nlohmann_json::nlohmann_json)
endif()
