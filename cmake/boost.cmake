# The HTTP server's libraries, as the target fragtally_boost: Boost.Beast over
# Boost.Asio, and Boost.URL for request targets, from Debian's libboost1.81-dev.
# Beast and Asio are header-only; Boost.URL is compiled into the one source
# that includes its <boost/url/src.hpp> (serve/url_library.cpp), so no Boost
# library is linked and the static Windows build takes the same headers.
add_library(fragtally_boost INTERFACE)
find_path(FRAGTALLY_BOOST_INCLUDE_DIR boost/beast.hpp PATHS /usr/include NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
if(NOT EXISTS ${FRAGTALLY_BOOST_INCLUDE_DIR}/boost/url/src.hpp)
  message(FATAL_ERROR "Boost.URL is missing: install libboost1.81-dev (scripts/install_deps.sh)")
endif()
if(CMAKE_CROSSCOMPILING)
  # The cross compiler does not search the build machine's /usr/include, and must
  # not see its C library there: it gets a folder holding only Boost's headers.
  set(boost_headers ${CMAKE_BINARY_DIR}/boost-headers)
  file(MAKE_DIRECTORY ${boost_headers})
  file(CREATE_LINK ${FRAGTALLY_BOOST_INCLUDE_DIR}/boost ${boost_headers}/boost SYMBOLIC)
  target_include_directories(fragtally_boost SYSTEM INTERFACE ${boost_headers})
else()
  target_include_directories(fragtally_boost SYSTEM INTERFACE ${FRAGTALLY_BOOST_INCLUDE_DIR})
endif()
# One set of switches for every source that includes these headers.
target_compile_definitions(fragtally_boost INTERFACE
  BOOST_ASIO_NO_DEPRECATED BOOST_URL_NO_LIB BOOST_ALL_NO_LIB)
if(WIN32)
  # Asio on Windows: Winsock 2 and its extensions; Windows 7 is the oldest system
  # the programs run on.
  target_compile_definitions(fragtally_boost INTERFACE _WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)
  target_link_libraries(fragtally_boost INTERFACE ws2_32 mswsock)
endif()
