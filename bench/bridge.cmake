# The movie-to-API round trip: script text in, answer text out.
kestrel_add_benchmark(bench_bridge_round_trip
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_bridge_round_trip.cpp
  LIBS projector_api)
