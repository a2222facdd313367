# Fault translation (signals to exceptions); included from the transport sources.
list(APPEND KMRCOMM_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRSETranslator.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRWin32HardwareException.cpp)
list(APPEND KMRCOMM_THREAD_TEST_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/transport/KMRSETranslatorTest.cpp)
