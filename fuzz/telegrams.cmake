# KelmarCom2 telegram parsers: the response stream splitter, the frame copying constructors and the factories.
# The telegram sources are compiled once more with coverage instrumentation, so libFuzzer sees the
# branches of the parsers themselves and not only those of the fuzz targets.
set(_kmr_kc_dir ${CMAKE_SOURCE_DIR}/libs/KMRComm/src/telegrams)
add_library(kmr_fuzz_telegrams STATIC
  ${_kmr_kc_dir}/KMRAbstractTelegram.cpp
  ${_kmr_kc_dir}/KMRCommException.cpp
  ${_kmr_kc_dir}/KMRStatus.cpp
  ${_kmr_kc_dir}/KMRKCTelegramConfig.cpp
  ${_kmr_kc_dir}/KCTelegram.cpp
  ${_kmr_kc_dir}/KCSendTelegram.cpp
  ${_kmr_kc_dir}/KCReceiveTelegram.cpp
  ${_kmr_kc_dir}/KMRKCSendTelegramFactory.cpp
  ${_kmr_kc_dir}/KMRKCReceiveTelegramFactory.cpp
  ${_kmr_kc_dir}/KMRUnknownTelegram.cpp
  ${_kmr_kc_dir}/KMRUnknownTelegramFactory.cpp)
target_include_directories(kmr_fuzz_telegrams PUBLIC $<TARGET_PROPERTY:KMRComm,INCLUDE_DIRECTORIES>)
target_link_libraries(kmr_fuzz_telegrams PUBLIC KMRBase KMRLogging Threads::Threads)
target_compile_options(kmr_fuzz_telegrams PRIVATE -fsanitize=fuzzer-no-link -fnon-call-exceptions)
add_dependencies(kmr_fuzz_telegrams KMRComm) # generates the export header
kmr_warnings(kmr_fuzz_telegrams)

kmr_add_fuzzer(fuzz_kc_split SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_kc_split.cpp LIBS kmr_fuzz_telegrams)
kmr_add_fuzzer(fuzz_kc_frames SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_kc_frames.cpp LIBS kmr_fuzz_telegrams)
kmr_add_fuzzer(fuzz_kc_factories SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_kc_factories.cpp LIBS kmr_fuzz_telegrams)
