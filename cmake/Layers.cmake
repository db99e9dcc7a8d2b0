# The core's layers come from one place: the layer table in docs/architecture.md. Each of its
# rows marked "core" names a folder that becomes the static library quillomat_<folder>, linking
# the libraries of exactly the folders its "May include" cell names. Its headers are reached
# only by the libraries that link it, and quillomat_<folder>_linkcheck links all of its objects
# with nothing else, so a symbol of any other folder stops the build as an undefined reference.
# scripts/check-layers.sh reads the same table.
#
#   QUILLOMAT_LAYERS            the core folders, in the table's order
#   quillomat_layer(SOURCES...) in a core folder's CMakeLists.txt: that folder's library and
#                               its link check

set(QUILLOMAT_LAYER_DOC ${CMAKE_SOURCE_DIR}/docs/architecture.md)
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUILLOMAT_LAYER_DOC})

# The table follows its header "| Folder | Part | May include ... |" and runs to the first line
# that is not a row; a row reads  | `folder/` | core | `uses/`, `uses/` |  ("nothing": none).
file(READ ${QUILLOMAT_LAYER_DOC} quillomat_doc)
string(REGEX MATCH "\n\\|[ ]*Folder[ ]*\\|[ ]*Part[ ]*\\|[ ]*May include[^\n]*(\n\\|[^\n]*)*" quillomat_table "${quillomat_doc}")
string(REPLACE "\n" ";" quillomat_table_rows "${quillomat_table}")
set(QUILLOMAT_LAYERS "")
foreach(row IN LISTS quillomat_table_rows)
  if(NOT row MATCHES "^\\|[^|]*\\|[^|]*core")
    continue()  # the header, the line under it, or a row of a program rather than the core
  endif()
  if(NOT row MATCHES "^\\|[ ]*`([A-Za-z0-9_]+)/`[ ]*\\|[^|]*\\|([^|]*)\\|[ ]*$")
    message(FATAL_ERROR "docs/architecture.md: cannot read the layer row '${row}'")
  endif()
  set(folder ${CMAKE_MATCH_1})
  string(REGEX MATCHALL "`[A-Za-z0-9_]+/`" uses "${CMAKE_MATCH_2}")
  list(TRANSFORM uses REPLACE "`([A-Za-z0-9_]+)/`" "quillomat_\\1")
  set(QUILLOMAT_LAYER_USES_${folder} ${uses})
  list(APPEND QUILLOMAT_LAYERS ${folder})
endforeach()
if(NOT QUILLOMAT_LAYERS)
  message(FATAL_ERROR "docs/architecture.md: no core rows in the layer table")
endif()

set(QUILLOMAT_LINKCHECK_MAIN ${CMAKE_BINARY_DIR}/layers/linkcheck.cpp)
file(CONFIGURE OUTPUT ${QUILLOMAT_LINKCHECK_MAIN} CONTENT "int main() { return 0; }\n")

function(quillomat_layer)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  if(NOT folder IN_LIST QUILLOMAT_LAYERS)
    message(FATAL_ERROR "${folder}/ has no core row in the layer table of docs/architecture.md")
  endif()
  add_library(quillomat_${folder} STATIC ${ARGN})
  # The folder's headers are reached as "<folder>/X.h" through an include root that holds
  # this folder alone, so a library sees the headers of the folders it links and no others.
  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  target_include_directories(quillomat_${folder} PUBLIC ${root})
  target_link_libraries(quillomat_${folder} PUBLIC ${QUILLOMAT_LAYER_USES_${folder}})
  # Every object of the library, linked with nothing but the libraries its row names: a symbol
  # of any other folder is an undefined reference here, and the build stops. (Fuzz builds
  # instrument the core for a runtime only the fuzz targets link.)
  if(NOT QUILLOMAT_FUZZ)
    add_executable(quillomat_${folder}_linkcheck ${QUILLOMAT_LINKCHECK_MAIN})
    target_link_libraries(quillomat_${folder}_linkcheck PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,quillomat_${folder}>")
  endif()
endfunction()
