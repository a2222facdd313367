# Firmware upload against the simulator with the real pauses (a plain program: one long run).
if(TARGET kmrsimlib AND TARGET KMRFirmwareUploadCore)
  add_executable(bench_firmware_upload ${CMAKE_CURRENT_SOURCE_DIR}/bench_firmware_upload.cpp)
  target_link_libraries(bench_firmware_upload PRIVATE KMRFirmwareUploadCore kmrsimlib)
  kmr_warnings(bench_firmware_upload)
endif()
