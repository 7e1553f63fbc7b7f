# Sources of the platform part of plotwell-core.
target_sources(plotwell-core PRIVATE
)
