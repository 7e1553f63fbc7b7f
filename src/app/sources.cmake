# Sources of the app part of plotwell-core.
target_sources(plotwell-core PRIVATE
  app/AppContext.h
  app/AppState.h
  app/CommandCenter.cpp app/CommandCenter.h
  app/Commands.cpp app/Commands.h
  app/Launch.cpp app/Launch.h
  app/Log.cpp app/Log.h
  app/Progress.cpp app/Progress.h
  app/ResourceLocator.cpp app/ResourceLocator.h
  app/ShellController.cpp app/ShellController.h
  app/Version.cpp app/Version.h
  app/WindowLayout.cpp app/WindowLayout.h
)
