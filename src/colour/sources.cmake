# Sources of the colour part of plotwell-core.
target_sources(plotwell-core PRIVATE
  colour/ColorLine.cpp colour/ColorLine.h
  colour/Colour.cpp colour/Colour.h
  colour/ColourPicking.cpp colour/ColourPicking.h
  colour/PickerTags.cpp colour/PickerTags.h
  colour/SwatchBoard.cpp colour/SwatchBoard.h
)
