# Read by cpack for each generator: the Debian package holds the system
# layout alone, stripped as Debian wants its programs; every other package
# (the .tar.gz) holds the portable folder, as "cmake --install" makes it.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL system)
  set(CPACK_STRIP_FILES ON)
endif()
