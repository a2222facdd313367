# Telegrams: the abstract telegram, the KelmarCom2 frames and factories, the unknown telegram,
# the status record and the communication exception.
list(APPEND KMRCOMM_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams/KMRAbstractTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams/KMRCommException.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams/KMRStatus.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams/KMRKCTelegramConfig.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams/KCTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams/KCSendTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams/KCReceiveTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams/KMRKCSendTelegramFactory.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams/KMRKCReceiveTelegramFactory.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams/KMRUnknownTelegram.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/telegrams/KMRUnknownTelegramFactory.cpp)

list(APPEND KMRCOMM_TEST_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/telegrams/KCSendTelegramTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/telegrams/KCReceiveTelegramTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/telegrams/KMRKCSendTelegramFactoryTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/telegrams/KMRKCReceiveTelegramFactoryTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/telegrams/KMRAbstractTelegramTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/telegrams/KMRUnknownTelegramTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/telegrams/KMRStatusTest.cpp)
