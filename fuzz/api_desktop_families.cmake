# Random calls through the dispatcher into the System, Dialogs, Network,
# Clipboard, Application, AppleScript and DLL families (over fakes).
kestrel_add_fuzzer(fuzz_api_desktop_families
  ${CMAKE_CURRENT_LIST_DIR}/fuzz_api_desktop_families.cpp
  LIBS projector_api)
target_include_directories(fuzz_api_desktop_families PRIVATE ${CMAKE_SOURCE_DIR})
