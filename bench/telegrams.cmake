# KelmarCom2 response stream: splitting and constructing telegrams against memcpy of the same buffer.
kmr_add_benchmark(bench_kc_split SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_kc_split.cpp LIBS KMRComm)
