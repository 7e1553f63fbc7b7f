# Sources of the platform part of plotwell-core: the ports the core needs from the desktop.
target_sources(plotwell-core PRIVATE
  platform/Alerts.h
  platform/ChartViewer.h
  platform/Desktop.h
  platform/FilePanels.h
  platform/Mailer.h
  platform/Preferences.h
)
