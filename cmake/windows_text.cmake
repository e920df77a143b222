# Joins text files into one that Windows' Notepad shows right, old versions
# included: a UTF-8 byte order mark, CR LF line ends, a blank line between the
# files; lines that are whole HTML comments are left out.
# Usage: cmake -DOUTPUT=<file> -DINPUTS="<a;b;...>" -P windows_text.cmake
string(ASCII 239 187 191 text)
set(first TRUE)
foreach(input IN LISTS INPUTS)
  file(READ "${input}" part)
  string(REPLACE "\r\n" "\n" part "${part}")
  # Lines that are whole HTML comments (markers for the scripts that keep
  # README's figures) mean nothing in Notepad.
  string(REGEX REPLACE "(^|\n)<!--[^\n]*-->\n" "\\1" part "${part}")
  string(REPLACE "\n" "\r\n" part "${part}")
  if(NOT first)
    string(APPEND text "\r\n")
  endif()
  string(APPEND text "${part}")
  set(first FALSE)
endforeach()
file(WRITE "${OUTPUT}.new" "${text}")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
