# The web page: the whole demo compiled to WebAssembly with emscripten, drawing through the
# fixed-function layer on WebGL, with the platform files of src/platform/web and those of
# src/platform that need neither SDL, EGL nor libmpg123. Pictures are decoded by libjpeg-turbo
# built to WebAssembly: QD_WEB_JPEG_DIR holds its include/ and lib/ (scripts/web makes it).
# The build makes quelldrift.js and quelldrift.wasm, and index.html with the program's version
# in it; scripts/web lays them out with page.js and the data.
set(QD_WEB_JPEG_DIR "" CACHE PATH "libjpeg-turbo built with emscripten: a folder with include/ and lib/")
if(NOT EXISTS ${QD_WEB_JPEG_DIR}/include/jpeglib.h OR NOT EXISTS ${QD_WEB_JPEG_DIR}/lib/libjpeg.a)
  message(FATAL_ERROR "the web page needs libjpeg-turbo built with emscripten in QD_WEB_JPEG_DIR (scripts/web makes it)")
endif()

file(GLOB QD_WEB_PLATFORM_SOURCES CONFIGURE_DEPENDS ${QD_PLATFORM_DIR}/web/*.cpp)
set(QD_SHARED_PLATFORM_SOURCES
  ${QD_PLATFORM_DIR}/data_files.cpp
  ${QD_PLATFORM_DIR}/event_queue.cpp
  ${QD_PLATFORM_DIR}/jpeg_decoder.cpp
  ${QD_PLATFORM_DIR}/message_boxes.cpp
  ${QD_PLATFORM_DIR}/runtime.cpp)

add_executable(quelldrift-web ${CMAKE_SOURCE_DIR}/src/app/main_web.cpp ${QD_TABLE_SOURCES}
  ${QD_CORE_SOURCES} ${QD_SHARED_PLATFORM_SOURCES} ${QD_WEB_PLATFORM_SOURCES}
  ${QD_LAYER_SOURCES})
set_target_properties(quelldrift-web PROPERTIES OUTPUT_NAME quelldrift SUFFIX .js)
target_include_directories(quelldrift-web PRIVATE ${CMAKE_SOURCE_DIR}/src
  ${QD_WEB_JPEG_DIR}/include)
target_compile_definitions(quelldrift-web PRIVATE QD_FIXED_FUNCTION_LAYER=1)
target_link_libraries(quelldrift-web PRIVATE ${QD_WEB_JPEG_DIR}/lib/libjpeg.a)
target_link_options(quelldrift-web PRIVATE
  -sENVIRONMENT=web
  -sMIN_WEBGL_VERSION=1 -sMAX_WEBGL_VERSION=1
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=64MB
  # The data package is loaded by a script of its own (data.js), which needs the file system.
  -sFORCE_FILESYSTEM=1
  # A buffer swap outside the browser's frame loop lets the browser paint (the loading screen).
  -sASYNCIFY=1
  -sEXIT_RUNTIME=0)

# The page names the program's version in its description and its loading words.
configure_file(${QD_PLATFORM_DIR}/web/index.html.in ${CMAKE_BINARY_DIR}/index.html @ONLY)
