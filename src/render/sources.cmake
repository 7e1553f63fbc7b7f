# Sources of the render part of plotwell-core.
target_sources(plotwell-core PRIVATE
)
