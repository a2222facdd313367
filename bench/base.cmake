# KMRBase benchmarks.
kmr_add_benchmark(bench_crc32 SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_crc32.cpp LIBS KMRBase ZLIB::ZLIB)
