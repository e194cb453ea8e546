# Puts the help into DESTINATION: the compiled file when COMPILED, else the
# pages (HTML and style sheet only) in the folder "help". The other form is
# removed, so the folder holds what this build made.
#   cmake -DPAGES=dir -DCOMPILED=0|1 -DPRODUCT=file -DDESTINATION=dir -P place_help.cmake
file(MAKE_DIRECTORY "${DESTINATION}")
if(COMPILED)
  file(REMOVE_RECURSE "${DESTINATION}/help")
  file(COPY_FILE "${PRODUCT}" "${DESTINATION}/Kestrel Help.chm" ONLY_IF_DIFFERENT)
else()
  file(REMOVE "${DESTINATION}/Kestrel Help.chm")
  file(REMOVE_RECURSE "${DESTINATION}/help")
  file(GLOB pages "${PAGES}/*.html" "${PAGES}/*.css")
  file(COPY ${pages} DESTINATION "${DESTINATION}/help")
endif()
