# cmake -DWWW=dir -DTEMPLATE=service_worker.js.in -DFILES=a,b,... -P service_worker.cmake
# Writes WWW/sw.js to keep FILES (relative to WWW), its cache named for a
# hash of their contents.
string(REPLACE , ";" FILES ${FILES})
set(hashes "")
set(quoted "")
foreach(file IN LISTS FILES)
  file(SHA256 ${WWW}/${file} hash)
  string(APPEND hashes "${file} ${hash}\n")
  list(APPEND quoted "'${file}'")
endforeach()
string(SHA256 OFFLINE_HASH "${hashes}")
string(SUBSTRING ${OFFLINE_HASH} 0 16 OFFLINE_HASH)
list(JOIN quoted ", " OFFLINE_FILES)
configure_file(${TEMPLATE} ${WWW}/sw.js @ONLY)
