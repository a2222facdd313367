# Transport benchmarks: a UDP request/response round trip and a serial telegram stream,
# each against the raw system calls in the same program.
kmr_add_benchmark(bench_udp_roundtrip
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_udp_roundtrip.cpp
  LIBS KMRComm)
kmr_add_benchmark(bench_serial_stream
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_serial_stream.cpp
  LIBS KMRComm)
