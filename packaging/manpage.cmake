# Makes a compressed manual page from a program's own --help and --version
# (help2man) and the hand-written sections of its .h2m file:
#   cmake -DHELP2MAN=... -DPROGRAM=... -DINCLUDE=... -DOUTPUT=name.1 -P manpage.cmake
execute_process(
  COMMAND ${HELP2MAN} --no-info --locale=C.UTF-8 --include=${INCLUDE} ${PROGRAM}
  OUTPUT_VARIABLE page
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "help2man ${PROGRAM}: ${failed}")
endif()
# The usage and the settings rule of --help are laid out line by line
# already; filled, their lines would run together.
string(REGEX REPLACE "\n(\\.SS [^\n]*)\n" "\n\\1\n.nf\n" page "${page}")
file(WRITE ${OUTPUT} "${page}")
execute_process(COMMAND gzip -9nf ${OUTPUT} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "gzip ${OUTPUT}: ${failed}")
endif()
