// Checks the releases' bill of materials: valid CycloneDX 1.5 by the CycloneDX project's own
// strict validator; each file it names has the SHA-256 it gives; every file of the unpacked
// releases is named; and it says who made it, where each package comes from (purls with the
// suite and architecture), which component needs which, the code of others built into Qt, and
// the changes made to Qt's source with the CVEs they resolve.
// Usage: node check.mjs [--no-validator] BOM.cdx.json DIST UNPACKED
//   DIST holds the downloads, UNPACKED the releases unpacked from them; with --no-validator,
//   where the library could not be installed, only the files and their checksums
import { readFileSync, readdirSync } from 'node:fs'
import { createHash } from 'node:crypto'
import { join } from 'node:path'

const validate = process.argv[2] !== '--no-validator'
const [bomFile, dist, unpacked] = process.argv.slice(validate ? 2 : 3)
const text = readFileSync(bomFile, 'utf8')
if (validate) {
  const { Validation } = await import('@cyclonedx/cyclonedx-library')
  const error = await new Validation.JsonStrictValidator('1.5').validate(text)
  if (error !== null) {
    console.error(`FAIL: ${bomFile} is not valid CycloneDX 1.5:`, JSON.stringify(error, null, 2))
    process.exit(1)
  }
  console.log(`${bomFile}: valid CycloneDX 1.5 (JsonStrictValidator)`)
}

const bom = JSON.parse(text)
const named = new Map() // file name -> SHA-256
const refs = new Set()
const visit = (component) => {
  refs.add(component['bom-ref'])
  if (component.type === 'file') {
    named.set(component.name, component.hashes.find((h) => h.alg === 'SHA-256').content)
  }
  for (const part of component.components ?? []) visit(part)
}
visit(bom.metadata.component)
for (const component of bom.components) visit(component)

const sha256 = (path) => createHash('sha256').update(readFileSync(path)).digest('hex')
let failures = 0
const require = (holds, what) => {
  if (!holds) {
    console.error(`FAIL: the bill of materials ${what}`)
    failures++
  }
}
const { authors, tools } = bom.metadata
require(authors?.length && tools?.components?.length, 'names no author or tool that made it')
for (const { name, purl } of bom.components) {
  require(/[?&]arch=[^&]+/.test(purl) && /[?&]distro=[^&]+/.test(purl),
    `gives ${name} a purl without arch= and distro=: ${purl}`)
}
const graph = new Map((bom.dependencies ?? []).map((d) => [d.ref, d.dependsOn ?? []]))
for (const ref of [bom.metadata.component['bom-ref'], ...bom.components.map((c) => c['bom-ref'])]) {
  require(graph.has(ref), `has no dependencies entry for ${ref}`)
}
require(graph.get(bom.metadata.component['bom-ref'])?.length, 'says DAYVANE needs nothing')
for (const [ref, needs] of graph) {
  for (const needed of needs) require(refs.has(needed), `has ${ref} depend on an unknown ${needed}`)
}
const qt = bom.components.find((c) => c.name === 'qt6-base')
const parts = (qt?.components ?? []).filter((c) => c.type !== 'file')
const patches = qt?.pedigree?.patches ?? []
const cves = patches.flatMap((p) => (p.resolves ?? []).map((r) => r.id))
require(parts.length && parts.every((p) => p.name && p.licenses?.length),
  'names no code of others built into Qt, or one without a licence')
require(patches.length && cves.length, 'gives Qt no patches, or none that resolves a CVE')
if (readdirSync(dist).some((f) => f.endsWith('.zip'))) {
  const entry = parts.find((p) => p.description === 'Built into DAYVANE.exe')
  require(entry && graph.get(bom.metadata.component['bom-ref']).includes(entry['bom-ref']),
    "does not say that DAYVANE.exe holds Qt's entry point")
}
for (const file of readdirSync(unpacked, { recursive: true, withFileTypes: true })) {
  if (!file.isFile()) continue
  const name = join(file.parentPath ?? file.path, file.name).slice(unpacked.length + 1)
  if (!named.has(name)) {
    console.error(`FAIL: ${name} is shipped but not in the bill of materials`)
    failures++
  }
}
for (const [name, hash] of named) {
  const path = name.includes('/') ? join(unpacked, name) : join(dist, name)
  if (sha256(path) !== hash) {
    console.error(`FAIL: ${name}: its SHA-256 is not the one the bill of materials gives`)
    failures++
  }
}
console.log(`${named.size} files, each with its SHA-256; ${bom.components.length} components of others:`)
for (const c of bom.components) {
  console.log(`  ${c.name} ${c.version} (${c.licenses[0].expression}) ${c.purl}`)
}
console.log(`qt6-base: ${parts.length} parts built in, ${patches.length} changes to its source,` +
  ` resolving ${cves.join(', ')}; ${graph.size} entries in the dependency graph`)
process.exit(failures ? 1 : 0)
