# Fails when a top folder includes from one above it: engine <- instrument <- presets and widgets, which
# never include each other, <- editor; presets and editor <- presetmap, which nothing below includes; app, tools
# and the tests assemble them and may include any.
# Run as: cmake -DSOURCE_DIR=<the project's folder> -P CheckFolderLayers.cmake
set(LAYER_ROOT "${SOURCE_DIR}")
set(LAYER_PREFIX "")
set(LAYER_RULES "engine=engine" "instrument=engine,instrument" "presets=engine,instrument,presets"
                "widgets=engine,instrument,widgets" "editor=engine,instrument,presets,widgets,editor"
                "presetmap=engine,instrument,presets,widgets,editor,presetmap")
set(LAYER_MESSAGE "The top folders' includes must run engine <- instrument <- presets, widgets <- editor, presets and editor <- presetmap")
include(${CMAKE_CURRENT_LIST_DIR}/CheckIncludeLayers.cmake)
