# The libraries of a cross build, which Debian ships for the host only.
#
# libeigen3-dev is headers alone, in a folder of its own
# (/usr/include/eigen3), which the cross build can use where it is.
find_path(SESSION_STATS_HOST_EIGEN Eigen/Core
  PATHS /usr/include/eigen3 NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_library(Eigen3::Eigen INTERFACE IMPORTED)
target_include_directories(Eigen3::Eigen SYSTEM
  INTERFACE ${SESSION_STATS_HOST_EIGEN})

# What only the tests use: nlohmann-json and GoogleTest.
if(SESSION_STATS_BUILD_TESTS)
  # nlohmann-json3-dev is headers alone, but its CMake package names the host's
  # whole /usr/include, whose C headers would shadow MinGW-w64's: only the
  # library's own folder is copied into the build and used from there.
  find_path(SESSION_STATS_HOST_NLOHMANN_JSON nlohmann/json.hpp
    PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(cross_json_include ${PROJECT_BINARY_DIR}/cross/nlohmann_json/include)
  file(COPY ${SESSION_STATS_HOST_NLOHMANN_JSON}/nlohmann
       DESTINATION ${cross_json_include})
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  target_include_directories(nlohmann_json::nlohmann_json SYSTEM
    INTERFACE ${cross_json_include})

  # GoogleTest is built from the sources of Debian's googletest package,
  # with the cross compiler, as part of this build.
  set(SESSION_STATS_GOOGLETEST_SOURCE_DIR /usr/src/googletest
      CACHE PATH "GoogleTest sources for the cross build")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${SESSION_STATS_GOOGLETEST_SOURCE_DIR}
                   ${PROJECT_BINARY_DIR}/cross/googletest EXCLUDE_FROM_ALL)
endif()
