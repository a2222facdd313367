# Transport: threads and events, serial ports, sockets and the transmissions.
list(APPEND KMRCOMM_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMREvent.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRThread.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRSerial.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRSerialPeer.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRTransmission.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRDeliveryThread.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRVirtualTransmission.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRProtocolProcessor.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRSerialTransmission.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRUsesWinsocket.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRSocket.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRSocketPeer.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRUDPCommConfig.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRUDPTransmission.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRTCPSocket.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRTCPSocketServer.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/transport/KMRTCPTransmission.cpp)
list(APPEND KMRCOMM_TEST_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/transport/KMRSerialTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/transport/KMRSocketTest.cpp)
list(APPEND KMRCOMM_THREAD_TEST_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/transport/KMREventTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/transport/KMRThreadTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/transport/KMRSerialPeerTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/transport/KMRTransmissionTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/transport/KMRSerialTransmissionTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/transport/KMRUDPTransmissionTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tests/transport/KMRTCPTransmissionTest.cpp)

# The transport tests capture log lines through the logging back end.
function(_kmr_transport_test_links)
  foreach(target KMRCommTests KMRCommThreadTests)
    if(TARGET ${target})
      target_link_libraries(${target} PRIVATE log4cxx)
    endif()
  endforeach()
endfunction()
cmake_language(DEFER CALL _kmr_transport_test_links)
