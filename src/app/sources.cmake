# Sources of the app part of plotwell-core.
target_sources(plotwell-core PRIVATE
  app/Version.cpp app/Version.h
  app/ResourceLocator.cpp app/ResourceLocator.h
)
