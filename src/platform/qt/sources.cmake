# Qt implementations of the desktop ports.
target_sources(plotwell-gui PRIVATE
  platform/qt/QtPorts.cpp platform/qt/QtPorts.h
  platform/qt/WebEngineChartPictures.cpp platform/qt/WebEngineChartPictures.h
  platform/qt/WebEngineChartViewer.cpp platform/qt/WebEngineChartViewer.h
)
