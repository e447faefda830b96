# The run directory: the game finds sprites/, sounds/ and its font relative to
# its working directory, so the build lays them out next to the executables.
set(ORVIX_RUN_DIR ${CMAKE_BINARY_DIR}/run)
set(ORVIX_FONT_SOURCE "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf" CACHE FILEPATH
  "The monospaced TrueType font copied to the run directory as ox-font.ttf")
if(NOT EXISTS ${ORVIX_FONT_SOURCE})
  message(FATAL_ERROR "Font not found: ${ORVIX_FONT_SOURCE} (install fonts-dejavu-core)")
endif()
add_custom_target(orvix_data ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVIX_RUN_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_CURRENT_SOURCE_DIR}/data ${ORVIX_RUN_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ORVIX_FONT_SOURCE} ${ORVIX_RUN_DIR}/ox-font.ttf
  COMMENT "Laying out the run directory")
