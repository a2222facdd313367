# Older telegram families: KC1 and KC1 block-CPU, LEA and LEAIO, FDL.
list(APPEND KMRCOMM_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/KC1Frame.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/KC1Telegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/KC1SendTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/KC1ReceiveTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/KMRKC1SendTelegramFactory.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/KMRKC1ReceiveTelegramFactory.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/KC1BlockCPUTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/KC1BlockCPUSendTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/KC1BlockCPUReceiveTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/KMRKC1BlockCPUSendTelegramFactory.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/KMRKC1BlockCPUReceiveTelegramFactory.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/FDLTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/FDLSendTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/LEATelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/LEASendTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/LEAReceiveTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/KMRLEASendTelegramFactory.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/KMRLEAReceiveTelegramFactory.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/LEAIOTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/LEAIOSendTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams_legacy/LEAIOReceiveTelegram.cpp)

list(APPEND KMRCOMM_TEST_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/telegrams_legacy/KC1TelegramTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/telegrams_legacy/FDLSendTelegramTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/telegrams_legacy/LEATelegramTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/telegrams_legacy/LEAIOTelegramTest.cpp)
