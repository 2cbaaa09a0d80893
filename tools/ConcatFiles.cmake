# cmake -DOUT=file -DPARTS=a;b;c -P ConcatFiles.cmake: OUT := a + b + c.
set(text "")
foreach(p IN LISTS PARTS)
  file(READ "${p}" part)
  string(APPEND text "${part}")
endforeach()
file(WRITE "${OUT}.tmp" "${text}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
