// Checks the releases' bill of materials: valid CycloneDX 1.5 by the CycloneDX project's own
// strict validator; each file it names has the SHA-256 it gives; and every file of the
// unpacked releases is named.
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
const libraries = []
const visit = (component) => {
  if (component.type === 'file') {
    named.set(component.name, component.hashes.find((h) => h.alg === 'SHA-256').content)
  } else if (component !== bom.metadata.component) {
    libraries.push(`${component.name} ${component.version} (${component.licenses[0].expression})`)
  }
  for (const part of component.components ?? []) visit(part)
}
visit(bom.metadata.component)
for (const component of bom.components) visit(component)

const sha256 = (path) => createHash('sha256').update(readFileSync(path)).digest('hex')
let failures = 0
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
console.log(`${named.size} files, each with its SHA-256; ${libraries.length} components of others:`)
for (const library of libraries) console.log(`  ${library}`)
process.exit(failures ? 1 : 0)
