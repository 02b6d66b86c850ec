# The resources the program embeds, generated from their readable sources.
set(TOLVARAN_RESOURCE_DIR ${CMAKE_BINARY_DIR}/generated/resources)

# The browser database: readable sources in resources/browsers/, enciphered
# here; the tool also lists every record for the round-trip test.
file(GLOB browser_db_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/browsers/*.txt)
add_custom_command(
  OUTPUT ${TOLVARAN_RESOURCE_DIR}/browser_db.bin ${TOLVARAN_RESOURCE_DIR}/browser_records.inc
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/encipher_browser_db.py
          --source ${CMAKE_SOURCE_DIR}/resources/browsers
          --out ${TOLVARAN_RESOURCE_DIR}/browser_db.bin
          --records ${TOLVARAN_RESOURCE_DIR}/browser_records.inc
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/encipher_browser_db.py ${browser_db_sources}
  COMMENT "Enciphering the browser database"
  VERBATIM)
set(TOLVARAN_RESOURCES
  102=lang:${CMAKE_SOURCE_DIR}/resources/lang/ru.txt
  103=lang:${CMAKE_SOURCE_DIR}/resources/lang/en.txt
  104=lang:${CMAKE_SOURCE_DIR}/resources/lang/fr.txt
  105=lang:${CMAKE_SOURCE_DIR}/resources/lang/de.txt
  101=raw:${TOLVARAN_RESOURCE_DIR}/browser_db.bin)
set(resource_inputs)
foreach(entry ${TOLVARAN_RESOURCES})
  string(REGEX REPLACE "^[0-9]+=[a-z]+:" "" path ${entry})
  list(APPEND resource_inputs ${path})
endforeach()
add_custom_command(
  OUTPUT ${TOLVARAN_RESOURCE_DIR}/embedded_resources.cpp
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/embed_resources.py
          --out ${TOLVARAN_RESOURCE_DIR} ${TOLVARAN_RESOURCES}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/embed_resources.py ${resource_inputs}
  COMMENT "Embedding resources"
  VERBATIM)
set(TOLVARAN_GENERATED_SOURCES ${TOLVARAN_RESOURCE_DIR}/embedded_resources.cpp)
