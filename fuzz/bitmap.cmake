# Picture decoding and the three sign conversions on arbitrary files.
kmr_add_fuzzer(fuzz_bitmap SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_bitmap.cpp LIBS KMRBitmap)
