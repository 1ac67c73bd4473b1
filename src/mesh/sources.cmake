# Mesh model: .m reader, model import, face and vertex normals, fitting, vector helpers.
target_sources(meshshade_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/vector_math.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mesh_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mesh_prepare.cpp
  ${CMAKE_CURRENT_LIST_DIR}/model_import.cpp
  ${CMAKE_CURRENT_LIST_DIR}/model_build.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ply_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/import_process.cpp
  ${CMAKE_CURRENT_LIST_DIR}/import_sandbox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/import_message.cpp
  ${CMAKE_CURRENT_LIST_DIR}/assimp_walk.cpp
  ${CMAKE_CURRENT_LIST_DIR}/model_files.cpp
)
