# stb_image, used as a header only (see scripts/bootstrap.sh): Debian's libstb-dev
# natively, the same header under the cross prefix for Windows.
# Defines Stb::Stb (an interface target carrying the include folder).
find_path(STB_INCLUDE_DIR stb_image.h PATH_SUFFIXES stb)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Stb REQUIRED_VARS STB_INCLUDE_DIR)

if(STB_FOUND AND NOT TARGET Stb::Stb)
  add_library(Stb::Stb INTERFACE IMPORTED)
  set_target_properties(Stb::Stb PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${STB_INCLUDE_DIR}")
endif()
mark_as_advanced(STB_INCLUDE_DIR)
