# Anti-Grain Geometry, used as headers only (see scripts/bootstrap.sh): Debian's
# libagg-dev natively, the same headers under the cross prefix for Windows.
# Defines AGG::AGG (an interface target carrying the include folder).
find_path(AGG_INCLUDE_DIR agg_rasterizer_compound_aa.h PATH_SUFFIXES agg2)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(AGG REQUIRED_VARS AGG_INCLUDE_DIR)

if(AGG_FOUND AND NOT TARGET AGG::AGG)
  add_library(AGG::AGG INTERFACE IMPORTED)
  set_target_properties(AGG::AGG PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${AGG_INCLUDE_DIR}")
endif()
mark_as_advanced(AGG_INCLUDE_DIR)
