# The resources the program embeds, generated from their readable sources.
set(TOLVARAN_RESOURCE_DIR ${CMAKE_BINARY_DIR}/generated/resources)
set(TOLVARAN_RESOURCES
  102=lang:${CMAKE_SOURCE_DIR}/resources/lang/ru.txt
  103=lang:${CMAKE_SOURCE_DIR}/resources/lang/en.txt
  104=lang:${CMAKE_SOURCE_DIR}/resources/lang/fr.txt
  105=lang:${CMAKE_SOURCE_DIR}/resources/lang/de.txt)
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
  COMMENT "Embedding language tables"
  VERBATIM)
set(TOLVARAN_GENERATED_SOURCES ${TOLVARAN_RESOURCE_DIR}/embedded_resources.cpp)
