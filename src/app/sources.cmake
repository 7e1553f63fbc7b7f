# Sources of the app part of plotwell-core.
target_sources(plotwell-core PRIVATE
  app/AppState.h
  app/CommandCenter.cpp app/CommandCenter.h
  app/Log.cpp app/Log.h
  app/ResourceLocator.cpp app/ResourceLocator.h
  app/Version.cpp app/Version.h
)
