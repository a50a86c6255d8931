# Fails when a file of the engine includes from a folder above its own: dsp <- modules <- kernel <- program.
# Run as: cmake -DENGINE_DIR=<path to engine> -P CheckEngineLayers.cmake
set(LAYER_ROOT "${ENGINE_DIR}")
set(LAYER_PREFIX "engine/")
set(LAYER_RULES "dsp=dsp" "modules=dsp,modules" "kernel=dsp,modules,kernel" "program=dsp,modules,kernel,program")
set(LAYER_MESSAGE "The engine's includes must run dsp <- modules <- kernel <- program")
include(${CMAKE_CURRENT_LIST_DIR}/CheckIncludeLayers.cmake)
