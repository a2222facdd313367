# Older telegram families (KC1, KC1 block-CPU, LEA, LEAIO, FDL): stream splitters, frame copying
# constructors, builders and factories. Their sources are compiled once more with coverage
# instrumentation, on top of the instrumented KelmarCom2 telegram library they build on.
set(_kmr_legacy_dir ${CMAKE_SOURCE_DIR}/libs/KMRComm/src/telegrams_legacy)
add_library(kmr_fuzz_telegrams_legacy STATIC
  ${_kmr_legacy_dir}/KC1Frame.cpp
  ${_kmr_legacy_dir}/KC1Telegram.cpp
  ${_kmr_legacy_dir}/KC1SendTelegram.cpp
  ${_kmr_legacy_dir}/KC1ReceiveTelegram.cpp
  ${_kmr_legacy_dir}/KMRKC1SendTelegramFactory.cpp
  ${_kmr_legacy_dir}/KMRKC1ReceiveTelegramFactory.cpp
  ${_kmr_legacy_dir}/KC1BlockCPUTelegram.cpp
  ${_kmr_legacy_dir}/KC1BlockCPUSendTelegram.cpp
  ${_kmr_legacy_dir}/KC1BlockCPUReceiveTelegram.cpp
  ${_kmr_legacy_dir}/KMRKC1BlockCPUSendTelegramFactory.cpp
  ${_kmr_legacy_dir}/KMRKC1BlockCPUReceiveTelegramFactory.cpp
  ${_kmr_legacy_dir}/FDLTelegram.cpp
  ${_kmr_legacy_dir}/FDLSendTelegram.cpp
  ${_kmr_legacy_dir}/LEATelegram.cpp
  ${_kmr_legacy_dir}/LEASendTelegram.cpp
  ${_kmr_legacy_dir}/LEAReceiveTelegram.cpp
  ${_kmr_legacy_dir}/KMRLEASendTelegramFactory.cpp
  ${_kmr_legacy_dir}/KMRLEAReceiveTelegramFactory.cpp
  ${_kmr_legacy_dir}/LEAIOTelegram.cpp
  ${_kmr_legacy_dir}/LEAIOSendTelegram.cpp
  ${_kmr_legacy_dir}/LEAIOReceiveTelegram.cpp)
target_link_libraries(kmr_fuzz_telegrams_legacy PUBLIC kmr_fuzz_telegrams)
target_compile_options(kmr_fuzz_telegrams_legacy PRIVATE -fsanitize=fuzzer-no-link -fnon-call-exceptions)
kmr_warnings(kmr_fuzz_telegrams_legacy)

kmr_add_fuzzer(fuzz_kc1_split SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_kc1_split.cpp LIBS kmr_fuzz_telegrams_legacy)
kmr_add_fuzzer(fuzz_kc1_frames SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_kc1_frames.cpp LIBS kmr_fuzz_telegrams_legacy)
kmr_add_fuzzer(fuzz_lea_frames SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_lea_frames.cpp LIBS kmr_fuzz_telegrams_legacy)
kmr_add_fuzzer(fuzz_fdl_frames SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_fdl_frames.cpp LIBS kmr_fuzz_telegrams_legacy)
