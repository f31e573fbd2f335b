# Writes the web page as one file: PAGE's markup with @STYLE@, @SCRIPT@ and
# @WORKER@ replaced by the files STYLE, SCRIPTS and WORKER_SCRIPTS (lists),
# so that it opens from disk, where a page may fetch nothing.
#   cmake -DPAGE= -DSTYLE= -DSCRIPTS= -DWORKER_SCRIPTS= -DOUTPUT= -P inline_page.cmake
# (The policies of 3.25: older ones read @NAME@ in an argument as a variable.)
cmake_minimum_required(VERSION 3.25)

# A script's text as it may stand inside <script>: an end tag or a comment
# opener would end or change the element; "<\/" and "<\!" mean the same in
# every string, template and regular expression that holds them.
function(read_script_texts files out)
  set(joined "")
  foreach(file IN LISTS files)
    file(READ ${file} text)
    string(REGEX REPLACE "</([sS][cC][rR][iI][pP][tT])" "<\\\\/\\1" text "${text}")
    string(REPLACE "<!--" "<\\!--" text "${text}")
    string(APPEND joined "${text}\n")
  endforeach()
  set(${out} "${joined}" PARENT_SCOPE)
endfunction()

file(READ ${PAGE} page)
file(READ ${STYLE} style)
read_script_texts("${SCRIPTS}" script)
read_script_texts("${WORKER_SCRIPTS}" worker)
string(REPLACE "@STYLE@" "${style}" page "${page}")
string(REPLACE "@SCRIPT@" "${script}" page "${page}")
string(REPLACE "@WORKER@" "${worker}" page "${page}")
file(WRITE ${OUTPUT} "${page}")
