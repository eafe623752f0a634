# Writes the manual page of tovimo-cli from its own help texts: the program's
# help, then each command's.
#   cmake -DCLI=path/to/tovimo-cli -DVERSION=x.y.z -DOUT=tovimo-cli.1 -P cli_man_page.cmake
set(commands analyze score simulate import)

function(help_text out)
  execute_process(COMMAND ${CLI} ${ARGN} --help OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${CLI} ${ARGN} --help failed: ${rc}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Text for roff: backslashes and minus signs escaped, no line taken for a
# request.
function(roff out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

help_text(main)
string(REGEX MATCH "^[^\n]*" summary "${main}")
string(REGEX REPLACE "^Tovimo: " "" summary "${summary}")
roff(main "${main}")
set(page ".TH TOVIMO\\-CLI 1 \"\" \"Tovimo ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\ntovimo\\-cli \\- ${summary}\n")
string(APPEND page ".SH SYNOPSIS\n.B tovimo\\-cli\n.I COMMAND\n[\\fIOPTIONS\\fR]\n.br\n.B tovimo\\-cli \\-\\-version\n")
string(APPEND page ".SH DESCRIPTION\n.nf\n${main}.fi\n")
string(APPEND page ".SH COMMANDS\n")
foreach(c IN LISTS commands)
  help_text(text ${c})
  roff(text "${text}")
  string(APPEND page ".SS ${c}\n.nf\n${text}.fi\n")
endforeach()
file(WRITE "${OUT}" "${page}")
