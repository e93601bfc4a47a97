-- A project in the layout of older tools: no unique key on SubObjects, objects and
-- sub-indices without most later columns (nvstorage comes before the others), a minimal
-- Nodes table. The reading test adds its DatabaseVersion row.
begin;
create table Strings (id integer primary key, string text);
insert into Strings values(1, 'Device type'), (2, 'It''s the type'), (3, 'Value'), (4, 'Old entry');
create table Nodes (nodeId integer primary key, name text, edspath text, xddpath text);
insert into Nodes values(0, 'Old device', 'dev.eds', '');
create table GeneralSettings (item text unique, value text);
insert into GeneralSettings values('line0type', '1');
create table MiscSettings (item text unique, value text);
create table Connections (prodnode integer, prodindex integer, prodsub integer, connode integer, conindex integer, consub integer);
create table Objects0 (objectindex integer primary key, name integer, datatype integer not null, objecttype integer not null, description integer, category integer);
insert into Objects0 values(4096, 1, 7, 7, 2, 0);
create table SubObjects0 (objectindex integer not null, subindex integer not null, name integer, datatype integer not null, accesstype text not null, defaultvalue text, currentvalue text, pdomapping integer, lowlimit integer, uplimit integer, size integer, defaultineds integer, limitineds integer, refuseread integer, refusewrite integer, allowedaccesstypes text, implementation integer not null, varname text, description integer, category integer, nvstorage integer);
insert into SubObjects0 values(4096, 0, 3, 7, 'ro', '0x12345', '', 0, 0, 0, 4, 1, 0, 0, 0, 'ro', 1, 'devType', 4, 0, 1);
commit;
