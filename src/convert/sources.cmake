# Sources of the convert part of plotwell-core.
target_sources(plotwell-core PRIVATE
)
