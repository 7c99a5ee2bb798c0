# cmake -DINPUT=<file.md> -DOUTPUT=<file.txt> -P windows-text.cmake
# Writes a UTF-8 text as Windows readers open it with a double click: CRLF line
# ends and a byte order mark (so that every Notepad shows the umlauts).
file(READ ${INPUT} text)
string(ASCII 239 187 191 byte_order_mark)
string(REGEX REPLACE "^${byte_order_mark}" "" text "${text}")
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT} "${byte_order_mark}${text}")
