# Sources of the render part of plotwell-core.
target_sources(plotwell-core PRIVATE
  render/Appearance.cpp render/Appearance.h
  render/CharacterFilter.cpp
  render/DataString.cpp render/DataString.h
  render/PageRequest.cpp render/PageRequest.h
  render/RequestCommand.cpp render/RequestCommand.h
  render/ViewerLoader.cpp render/ViewerLoader.h
)
