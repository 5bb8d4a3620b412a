# Writes a tool's manual page from its own option table: runs PROGRAM --man under the
# name NAME (a link in the output's folder), as the page names the tool as it is invoked.
#   cmake -DPROGRAM=... -DNAME=... -DOUTPUT=... -P write_manual.cmake
get_filename_component(folder ${OUTPUT} DIRECTORY)
set(link ${folder}/${NAME})
file(REMOVE ${link})
file(CREATE_LINK ${PROGRAM} ${link} SYMBOLIC)
# A sanitizer build's leak report at exit is not part of the page.
set(ENV{ASAN_OPTIONS} detect_leaks=0)
execute_process(COMMAND ${link} --man OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE result)
file(REMOVE ${link})
if(NOT result EQUAL 0)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "${NAME} --man failed: ${result}")
endif()
